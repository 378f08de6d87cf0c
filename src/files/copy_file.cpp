#include "files/copy_file.h"

#include <array>
#include <numeric>
#include <random>
#include <utility>

#include "files/existence.h"
#include "files/file_deletion.h"
#include "files/find_files.h"
#include "files/trapping.h"
#include "text/error.h"
#include "text/numbers.h"
#include "text/paths.h"
#include "text/vb_errors.h"
#include "text/wildcard.h"

namespace quillet::lib_basFile {

using lib_basConversion::lib_AddPath;
using lib_basConversion::lib_GetFileBase;
using lib_basConversion::lib_GetFileName;

namespace {

constexpr const char* kSource = "Base7.lib_CopyFile";
constexpr const char* kCrLf = "\r\n";
constexpr int kTemporaryNumbers = 100;  // ".~00" to ".~99"
constexpr const char* kNotRegular = "Not a regular file";
constexpr const char* kNotRegularText = "Not a regular file\r\n";

// The system's wording of the last failure, on one line.
std::string one_line(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

bool anything_at(const std::string& path) { return platform::attributes(path).has_value(); }

void remove_quietly(const std::string& path) {
    try {
        if (anything_at(path)) platform::remove_file(path);
    } catch (const Error&) {
        // The error that follows is the one that matters.
    }
}

unsigned seconds_since_midnight() {
    const platform::LocalTime now = platform::local_time_now();
    return static_cast<unsigned>(now.hour * 3600 + now.minute * 60 + now.second);
}

// File systems here hold names of up to 255 bytes.
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kTemporarySuffix = 4;  // ".~NN"

bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Cuts the last component so that it still takes the suffix, never inside a character.
std::string leaving_room_for_suffix(std::string stem) {
    const std::size_t last_backslash = stem.rfind('\\');
    const std::size_t name_start = last_backslash == std::string::npos ? 0 : last_backslash + 1;
    std::size_t end = name_start + (kLongestName - kTemporarySuffix);
    if (stem.size() <= end) return stem;
    while (end > name_start && is_continuation_byte(stem[end])) --end;
    stem.resize(end);
    return stem;
}

// The temporary name's stem: the target without its extension. A file name
// without one keeps its whole path, so the temporary file still lies beside it.
std::string temporary_stem(const std::string& target) {
    const std::string stem = lib_GetFileBase(target, false).empty() ? target : lib_GetFileBase(target, true);
    return leaving_room_for_suffix(stem);
}

// The numbers 00 to 99 in an order drawn at random, seeded from the time of day,
// each at most once. Drawn one at a time: most copies need only the first.
class TemporaryNumbers {
public:
    TemporaryNumbers() : random_(seconds_since_midnight()) { std::iota(numbers_.begin(), numbers_.end(), 0); }

    bool exhausted() const { return left_ == 0; }

    int draw() {
        std::uniform_int_distribution<int> pick(0, left_ - 1);
        std::swap(numbers_[static_cast<std::size_t>(pick(random_))], numbers_[static_cast<std::size_t>(left_ - 1)]);
        return numbers_[static_cast<std::size_t>(--left_)];
    }

private:
    std::array<int, kTemporaryNumbers> numbers_{};
    int left_ = kTemporaryNumbers;
    std::minstd_rand random_;
};

// The temporary names ".~NN" beside a target, each at most once, never the
// target's own. The first is drawn at once, to be named in a failure.
class TemporaryNames {
public:
    explicit TemporaryNames(const std::string& target) : target_(target), stem_(temporary_stem(target)) {
        first_ = draw();
    }

    // Empty when none is left.
    const std::optional<std::string>& first() const { return first_; }

    std::optional<std::string> next() {
        if (first_ && !first_given_) {
            first_given_ = true;
            return first_;
        }
        return draw();
    }

private:
    std::optional<std::string> draw() {
        while (!numbers_.exhausted()) {
            std::string candidate = stem_ + ".~" + two_digits(numbers_.draw());
            if (candidate != target_) return candidate;
        }
        return std::nullopt;
    }

    const std::string& target_;
    std::string stem_;
    TemporaryNumbers numbers_;
    std::optional<std::string> first_;
    bool first_given_ = false;
};

class FileCopier {
public:
    FileCopier(UserSide& user, bool overwrite, const platform::CopyProgress& progress, CopyTally* tally)
        : user_(user), overwrite_(overwrite), progress_(progress), tally_(tally) {}

    bool copy_matches(const std::string& strSource, const std::string& strTarget) {
        const std::string folder = lib_basConversion::lib_GetPath(strSource, true);
        lib_clsFindFiles finder;
        if (!finder.FindFirstFile(lib_GetFileName(strSource), folder, false)) return false;
        bool all_copied = true;
        do {
            const std::string source = lib_AddPath(folder, finder.File());
            const std::string target = lib_AddPath(strTarget, finder.File());
            const bool copied = source != target && copy_one(source, target);
            all_copied = all_copied && copied;
        } while (finder.FindNextFile());
        return all_copied;
    }

    bool copy_single(const std::string& strSource, const std::string& strTarget) {
        const std::string target = strTarget.ends_with('\\') ? strTarget + lib_GetFileName(strSource) : strTarget;
        return strSource != target && copy_one(strSource, target);
    }

private:
    bool copy_one(const std::string& source, const std::string& target) {
        source_ = source;
        if (!overwrite_ && file_exists_at(target)) return false;
        // The copy carries the source's times, read before the copy read the file.
        // Until it is in place, a temporary goes if the run is interrupted.
        platform::CopyFacts facts;
        copy_to_free_name(source, target, facts);
        if (!facts.in_place) put_in_place(facts.name, target);
        if (tally_ != nullptr) {
            tally_->bytes += facts.bytes;
            tally_->source_changed = tally_->source_changed || facts.source_changed;
        }
        return true;  // a copy that took its name, or a rename that succeeded, leaves it in place
    }

    // A copy that can be made without a name takes the target's name as soon as it
    // is complete, where nothing has that name yet. Otherwise it takes a name ".~NN"
    // beside the target that nothing has yet, NN drawn at random, and the caller puts
    // it in place. The copy claims a name by creating it, so nothing can take it
    // between a look and the copy. A failure names the first temporary name.
    void copy_to_free_name(const std::string& source, const std::string& target, platform::CopyFacts& facts) const {
        TemporaryNames temporaries(target);
        const std::string reported = temporaries.first().value_or(target);
        const platform::CopyNames names{target, [&] { return temporaries.next(); }};
        switch (platform::copy_file(source, names, progress_, &facts)) {
            case platform::CopyResult::copied:
                return;
            case platform::CopyResult::target_exists:
                throw vb::error(vb::kFileAlreadyExists);
            case platform::CopyResult::source_failed: {
                const std::string system_text = lib_GetLastDllErrorText();
                throw SourceUnreadable(copy_failed(reported, system_text), one_line(system_text), true);
            }
            case platform::CopyResult::not_regular:
                throw SourceUnreadable(copy_failed(reported, kNotRegularText), kNotRegular, false);
            case platform::CopyResult::failed:
                throw copy_failed(reported, lib_GetLastDllErrorText());
        }
    }

    // The old target goes only now that a complete copy stands ready. Renaming
    // finds out in the same step whether there is an old target at all.
    void put_in_place(const std::string& temporary, const std::string& target) const {
        if (rename_into_place(temporary, target, OldTarget::may_stand)) return;
        if (!lib_KillFile(user_, target, false)) {
            remove_quietly(temporary);
            throw Error(kLibraryError, kSource,
                        std::string("Failed to copy file") + kCrLf + "Could not delete existing target file");
        }
        rename_into_place(temporary, target, OldTarget::gone);
    }

    enum class OldTarget { may_stand, gone };

    // A copy that cannot take the target's name is not left behind either; false,
    // with the copy kept, when an old target that may stand does.
    static bool rename_into_place(const std::string& temporary, const std::string& target, OldTarget old_target) {
        try {
            platform::rename_file(temporary, target);
            return true;
        } catch (const Error& error) {
            if (old_target == OldTarget::may_stand && error.number() == vb::kFileAlreadyExists) return false;
            remove_quietly(temporary);
            throw;
        }
    }

    // The failed copy has left nothing behind; the name may belong to another file.
    // system_text: the system's wording with its line end, as it comes.
    Error copy_failed(const std::string& temporary, const std::string& system_text) const {
        return Error(kLibraryError, kSource,
                     std::string("Failed to copy file") + kCrLf + system_text + kCrLf + "Src=" + source_ + kCrLf +
                         "Tgt=" + temporary);
    }

    UserSide& user_;
    bool overwrite_;
    const platform::CopyProgress& progress_;
    CopyTally* tally_;
    std::string source_;
};

}  // namespace

bool lib_CopyFile(UserSide& user, const std::string& strSource, const std::string& strTarget, bool blnOverwrite,
                  bool /*blnRetryPrompt*/, const platform::CopyProgress& progress, CopyTally* tally) {
    const BusyScope busy(user);
    // A large file takes long: unless the caller follows the copy itself, the
    // windows keep answering between its pieces.
    const platform::CopyProgress keep_windows_answering = [&user](std::uint64_t, std::uint64_t) { user.do_events(); };
    FileCopier copier(user, blnOverwrite, progress ? progress : keep_windows_answering, tally);
    // Nothing is shown here: every failure goes to the caller, who reports it.
    try {
        return holds_search_wildcards(strSource) ? copier.copy_matches(strSource, strTarget)
                                       : copier.copy_single(strSource, strTarget);
    } catch (const SourceUnreadable&) {
        throw;  // as a failure of the copy itself
    } catch (const Error& error) {
        throw error.with_source(kSource);
    }
}

}  // namespace quillet::lib_basFile
