// Drives the platform's open-file dialog from a thread of its own while the test's thread
// waits inside the dialog: finds the dialog by its caption, looks at it, types a name into
// its name field and presses Open, or presses Cancel.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <thread>

class FileDialogDriver {
  public:
    struct Seen {
        bool found = false;
        std::string folder;     // the "Look in" box
        std::string fileName;   // the name field before typing
        std::string filterText; // the file-type box
        int filterCount = 0;
        bool stuck = false; // the dialog had to be cancelled because it did not end
    };

    // An empty name presses Cancel.
    FileDialogDriver(std::string caption, std::string name);
    ~FileDialogDriver();
    FileDialogDriver(const FileDialogDriver&) = delete;
    FileDialogDriver& operator=(const FileDialogDriver&) = delete;

    // What the dialog showed; waits for the driver to finish.
    const Seen& Result();

  private:
    void Drive();

    std::string caption_;
    std::string name_;
    Seen seen_;
    std::thread thread_;
};

// Deletes the dialog's memory of the last folder per program, so each run starts alike.
void ForgetLastVisitedFolders();
