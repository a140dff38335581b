#pragma once
// What the raw-data window remembers for the rest of the session, so that
// it opens again as it was left: the file read (its table), the task and
// covariates chosen, whether incomplete controls are left out, and the
// credible limit. The worksheet keeps one for the whole session.
#include <array>
#include <string>

#include "analysis/raw_data/raw_data_table.h"

struct RawDataSession {
    bool loaded = false;
    std::string path;  // the file as chosen
    RawDataTable table;
    std::string task;
    std::array<std::string, 5> covariates;
    bool dropIncomplete = false;
    int credibleLimit = -1;  // -1: none chosen here yet (the worksheet's)
};
