#pragma once
// What the interruption service (interruption.cpp) gives the rest of this folder.

namespace quillet::platform::win32 {

// The console input mode to put back if the run is interrupted while it is
// changed (typing hidden); null when there is none any more.
void restore_console_mode_if_interrupted(const unsigned long* saved_mode);

// Stops the programs started and not yet closed (processes.cpp), and starts no
// more: the clean-up of an interrupted run calls it before it deletes what is half
// made, which such a program might otherwise go on writing.
void stop_started_programs();

// Held while a file registered for removal is written through its name, outside
// without_interruption (CopyFileExW opens its target by name, and makes it again
// if it is gone): the clean-up of an interruption waits for every such write to
// end before it deletes, so that no write makes again what it deleted. Begin it
// in the step that registers the file.
class NamedWrite {
public:
    NamedWrite() = default;
    static NamedWrite begin();
    ~NamedWrite() { end(); }
    NamedWrite(NamedWrite&& other) noexcept;
    NamedWrite& operator=(NamedWrite&& other) noexcept;
    NamedWrite(const NamedWrite&) = delete;
    NamedWrite& operator=(const NamedWrite&) = delete;

    void end();

private:
    bool held_ = false;
};

}  // namespace quillet::platform::win32
