#pragma once
// Errors are exceptions carrying a message text (UTF-8). Abort stops a
// handler silently: the check that threw it has already told the operator.

#include <QString>

#include <functional>
#include <stdexcept>

namespace prvc03 {

class Error final : public std::runtime_error {
  public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

class Abort final : public std::exception {
  public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The operator stopped a statement that was running (取消 while it waited):
// nothing to report, the window says so itself.
class Cancelled final : public std::exception {
  public:
    const char* what() const noexcept override { return "已取消"; }
};

// The standard error reporting: a stop message box with the error's text.
void ReportError(const std::exception& error);
// Runs one handler of a window: an Abort or a Cancelled ends it silently, any
// other error is reported; nothing passes on into the event loop.
void RunHandler(const std::function<void()>& handler);

}  // namespace prvc03
