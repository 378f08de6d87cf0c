#pragma once
// What a snapshot job tells its user while it works, said as what happens ("copying
// this file to that folder"), not as which label shows it. The main window and the
// front end decide how each event looks.

#include <cstdint>
#include <string>

#include "ui/front_end.h"

namespace quillet {

enum class JobPhase { cleaning_up, copying, zipping, ended };

class JobActivity {
public:
    virtual ~JobActivity() = default;

    virtual void phase(JobPhase phase) = 0;
    virtual void cleaning_up(const std::string& path) = 0;
    // compacting: a database compacted into the folder rather than copied.
    virtual void copying(const std::string& source, const std::string& folder, bool compacting) = 0;
    virtual void looking_for_next_file() = 0;
    virtual void zipping_into(const std::string& archive) = 0;
    // The job's running counts, after each file put in place.
    virtual void put_in_place(std::int64_t files, std::uint64_t bytes) = 0;
    virtual void job_ended(const JobSummary& summary) = 0;
    // Long work lets pending window events run between its steps.
    virtual void let_events_run() = 0;
};

// The program's: the main window's activity line and title, the log, and the front end.
class MainWindowActivity final : public JobActivity {
public:
    void phase(JobPhase phase) override;
    void cleaning_up(const std::string& path) override;
    void copying(const std::string& source, const std::string& folder, bool compacting) override;
    void looking_for_next_file() override;
    void zipping_into(const std::string& archive) override;
    void put_in_place(std::int64_t files, std::uint64_t bytes) override;
    void job_ended(const JobSummary& summary) override;
    void let_events_run() override;
};

}  // namespace quillet
