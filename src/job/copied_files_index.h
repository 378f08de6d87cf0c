#pragma once
// Finding a destination among the run's copied files without scanning them all:
// the duplicate check runs for every file of every job.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillet {

struct CopiedFile;

class CopiedFilesIndex {
public:
    // The first row whose destination equals this one (exactly, case counts): the
    // row a scan from the first row would stop at. Rows added to the table since
    // the last call are taken in first.
    std::optional<std::size_t> first_row(const std::vector<CopiedFile>& rows, const std::string& destination);

private:
    void take_in(const std::vector<CopiedFile>& rows);

    std::unordered_map<std::string, std::size_t> first_rows_;
    std::size_t rows_taken_in_ = 0;
};

}  // namespace quillet
