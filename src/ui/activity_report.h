#pragma once
// How a job tells the user what it does, on the main window: the activity line,
// the log, the window's width, and the message rows that outlast the run.

#include <string>

namespace quillet {

// The activity text as the log takes it: each line break becomes one blank.
std::string JoinActivityLines(const std::string& text);

// Shows an activity (lines separated by CR LF) in the activity line, logs it and
// refits the window's width.
void ReportActivity(const std::string& text);

// The same on the window alone, for activities that change with every file and
// are not worth a log line.
void ShowActivity(const std::string& text);

// Logs a line as every job does: no source, no stamp, no file, no window title.
void LogJobActivity(const std::string& text);

// Adds a message row (a failure, or a line to keep) and logs it.
void AddMessageAndLog(const std::string& text);

}  // namespace quillet
