// Answers the message box that the constructing thread shows next, from a helper thread:
// waits for it, reads its caption and text and presses its OK button, so that a test can
// call a service that shows a box and waits for the user.
#pragma once

#include "platform/Platform.h"

#include <atomic>
#include <string>
#include <thread>

// The first visible message box (a "#32770" dialog) of a thread, leaving out the window
// other (a dialog that is itself a "#32770"); null when there is none.
HWND FindMessageBox(DWORD threadId, HWND other = nullptr);

class MessageBoxCloser {
  public:
    MessageBoxCloser();
    // Waits for the helper thread; it gives up after two minutes if no box came.
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    // After the box was answered: whether one came, its caption and its text.
    bool Found() const { return found_; }
    const std::string& Caption() const { return caption_; }
    const std::string& Text() const { return text_; }

  private:
    void Answer();

    unsigned long threadId_;
    std::string caption_;
    std::string text_;
    std::atomic<bool> found_{false};
    std::thread helper_;
};
