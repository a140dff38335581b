#pragma once
// Qt GUI for a program without windows (the command line): drawing figures
// and PDF pages needs a GUI application, which this starts on the offscreen
// platform (unless QT_QPA_PLATFORM says otherwise), so that no display is
// needed. Qt's own notes (fonts, runtime folders) are kept from the user;
// its critical messages go to standard error.
#include <memory>

class OffscreenGui {
public:
    // argc and argv must outlive the object.
    OffscreenGui(int& argc, char** argv);
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    struct Application;
    std::unique_ptr<Application> app_;
};
