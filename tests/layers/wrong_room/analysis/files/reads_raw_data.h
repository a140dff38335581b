#pragma once
// A file of the files room that reaches up into raw data: the layer test
// must refuse this tree.
#include "analysis/raw_data/raw_data_table.h"
