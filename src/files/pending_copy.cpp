#include "files/pending_copy.h"

#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "files/file_deletion.h"
#include "files/temporary_names.h"
#include "files/trapping.h"
#include "text/error.h"
#include "text/line_breaks.h"
#include "text/paths.h"
#include "text/unicode.h"
#include "text/vb_errors.h"

namespace quillet::lib_basFile {

namespace {

constexpr const char* kSource = "Base7.lib_CopyFile";
constexpr const char* kCrLf = "\r\n";
constexpr const char* kNotRegular = "Not a regular file";
constexpr const char* kNotRegularText = "Not a regular file\r\n";

bool anything_at(const std::string& path) { return platform::attributes(path).has_value(); }

void remove_quietly(const std::string& path) {
    try {
        if (anything_at(path)) platform::remove_file(path);
    } catch (const Error&) {
        // The error that follows is the one that matters.
    }
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool reads_like_temporary(std::string_view target) {
    const std::size_t size = target.size();
    return size >= kTemporarySuffix && target.substr(size - kTemporarySuffix, 2) == ".~" &&
           is_digit(target[size - 2]) && is_digit(target[size - 1]);
}

// The targets of copies not yet put in place that read like temporary names
// ("a.~72"). A copy made ahead on another thread for a later file does not take
// one of them as its temporary name: the earlier file would find that copy
// standing at its own target and put it aside as its old target. Compared
// without case, as names on a target may not differ by case alone.
class TargetsToCome {
public:
    void add(std::string_view target) {
        const std::lock_guard lock(mutex_);
        names_.insert(key(target));
    }
    void remove(std::string_view target) {
        const std::lock_guard lock(mutex_);
        if (const auto found = names_.find(key(target)); found != names_.end()) names_.erase(found);
    }
    bool holds(std::string_view name) const {
        const std::lock_guard lock(mutex_);
        return names_.contains(key(name));
    }

private:
    static std::u32string key(std::string_view path) { return unicode::to_upper(unicode::decode(path)); }

    mutable std::mutex mutex_;
    std::multiset<std::u32string> names_;
};

// Never destroyed: a copy may outlive the statics when the process ends.
TargetsToCome& targets_to_come() {
    static TargetsToCome* const targets = new TargetsToCome;
    return *targets;
}

}  // namespace

// The temporary names ".~NN" beside a target, each at most once, never the
// target's own. Made only when a copy needs one, or has to name one in a failure:
// most copies take their target's name at once.
class CopyTemporaryNames {
public:
    explicit CopyTemporaryNames(std::string_view target) : target_(target), names_(target_) { first_ = draw(); }

    // The first name, to be named in a failure; empty when none is left.
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
        return names_.next([this](const std::string& candidate) {
            return candidate != target_ && !targets_to_come().holds(candidate);
        });
    }

    std::string target_;
    TemporaryNames names_;
    std::optional<std::string> first_;
    bool first_given_ = false;
};

namespace {

// The failed copy has left nothing behind; the name may belong to another file.
// system_text: the system's wording with its line end, as it comes.
Error copy_failed(std::string_view source, const std::string& temporary, const std::string& system_text) {
    return Error(kLibraryError, kSource,
                 std::string("Failed to copy file") + kCrLf + system_text + kCrLf + "Src=" + std::string(source) +
                     kCrLf + "Tgt=" + temporary);
}

enum class OldTarget { may_stand, gone };

// A copy that cannot take the target's name is not left behind either; false,
// with the copy kept, when an old target that may stand does.
bool rename_into_place(const std::string& temporary, const std::string& target, OldTarget old_target) {
    try {
        platform::rename_file(temporary, target);
        return true;
    } catch (const Error& error) {
        if (old_target == OldTarget::may_stand && error.number() == vb::kFileAlreadyExists) return false;
        remove_quietly(temporary);
        throw;
    }
}

// The old target goes only now that a complete copy stands ready. Renaming
// finds out in the same step whether there is an old target at all.
void replace_old_target(UserSide& user, const std::string& temporary, const std::string& target,
                        platform::RemovedIfInterrupted& temporary_if_interrupted) {
    if (rename_into_place(temporary, target, OldTarget::may_stand)) return;
    const bool replaced = trash_and_take_name(target, [&] {
        rename_into_place(temporary, target, OldTarget::gone);
        temporary_if_interrupted.forget();
    });
    if (replaced) return;
    // As in replace_through_trash: a signal once this try took the target away keeps
    // the copy, under its temporary name.
    temporary_if_interrupted.forget();
    if (!lib_KillFile(user, target, false)) {
        remove_quietly(temporary);
        throw Error(kLibraryError, kSource,
                    std::string("Failed to copy file") + kCrLf + "Could not delete existing target file");
    }
    rename_into_place(temporary, target, OldTarget::gone);
}

}  // namespace

PendingCopy::PendingCopy(std::string_view source, std::string target)
    : source_(source), target_(std::move(target)), awaited_(reads_like_temporary(target_)) {
    if (awaited_) targets_to_come().add(target_);
}

PendingCopy::~PendingCopy() {
    if (awaited_) targets_to_come().remove(target_);
}

platform::CopyNames PendingCopy::names() {
    return platform::CopyNames{target_, [this]() -> std::optional<std::string> {
                                   if (!temporaries_) temporaries_ = std::make_unique<CopyTemporaryNames>(target_);
                                   return temporaries_->next();
                               }};
}

// A copy that can be made without a name takes the target's name once it is put in
// place, where nothing has that name yet. Otherwise it takes a name ".~NN" beside
// the target that nothing has yet, NN drawn at random, and is put in place from
// there. The copy claims a name by creating it, so nothing can take it between a
// look and the copy. A failure names the first temporary name.
void PendingCopy::make(const platform::CopyProgress& progress) {
    try {
        const platform::CopyNames copy_names = names();
        const platform::CopyResult result = platform::make_copy(source_, copy_names, progress, made_);
        if (result == platform::CopyResult::copied) return;
        if (!temporaries_) temporaries_ = std::make_unique<CopyTemporaryNames>(target_);
        const std::string reported = temporaries_->first().value_or(std::string(target_));
        switch (result) {
            case platform::CopyResult::copied:
                return;
            case platform::CopyResult::target_exists:
                throw vb::error(vb::kFileAlreadyExists);
            case platform::CopyResult::source_failed: {
                const std::string system_text = lib_GetLastDllErrorText();
                throw SourceUnreadable(copy_failed(source_, reported, system_text), WithoutLineEnd(system_text), true);
            }
            case platform::CopyResult::not_regular:
                throw SourceUnreadable(copy_failed(source_, reported, kNotRegularText), kNotRegular, false);
            case platform::CopyResult::failed:
                throw copy_failed(source_, reported, lib_GetLastDllErrorText());
        }
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void PendingCopy::put_in_place(UserSide& user, CopyTally* tally) {
    try {
        if (failure_) std::rethrow_exception(failure_);
        platform::CopyFacts facts;
        switch (platform::name_copy(made_, names(), &facts)) {
            case platform::CopyResult::copied:
                break;
            case platform::CopyResult::target_exists:
                throw vb::error(vb::kFileAlreadyExists);
            default: {
                const std::string system_text = lib_GetLastDllErrorText();
                if (!temporaries_) temporaries_ = std::make_unique<CopyTemporaryNames>(target_);
                throw copy_failed(source_, temporaries_->first().value_or(std::string(target_)), system_text);
            }
        }
        // Until it is in place, a temporary goes if the run is interrupted.
        if (!facts.in_place) replace_old_target(user, facts.name, std::string(target_), facts.if_interrupted);
        if (tally != nullptr) {
            tally->bytes += facts.bytes;
            tally->source_changed = tally->source_changed || facts.source_changed;
        }
    } catch (const SourceUnreadable&) {
        throw;  // as a failure of the copy itself
    } catch (const Error& error) {
        throw error.with_source(kSource);
    }
}

}  // namespace quillet::lib_basFile
