#include "zip/archive_run.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "text/error.h"
#include "zip/archive_file.h"
#include "zip/file_selection.h"
#include "zip/secret_text.h"

namespace quillet::zip32 {

namespace {

constexpr std::int64_t kFileTimeUnitsPerSecond = 10'000'000;

std::time_t unix_seconds(platform::FileTime time) {
    return static_cast<std::time_t>((time - platform::kUnixEpochFileTime) / kFileTimeUnitsPerSecond);
}

// Entries keep times to two seconds, rounded down; a file is newer than its
// entry only when it is newer at that resolution.
bool newer_than_entry(platform::FileTime file_time, std::time_t entry_time) {
    std::time_t seconds = unix_seconds(file_time);
    seconds -= seconds % 2;
    return seconds > entry_time;
}

// Messages through the print callback: warnings unless quiet, details only
// when verbose.
class Messages {
public:
    Messages(DLLPRNT* print, const ArchiveSettings& settings) : print_(print), settings_(settings) {}

    void say(const std::string& text) const {
        if (!settings_.quiet) send(text);
    }
    void detail(const std::string& text) const {
        if (settings_.verbose) send(text);
    }

private:
    void send(const std::string& text) const {
        std::string line = text + "\n";
        print_(line.data(), static_cast<unsigned long>(line.size()));
    }

    DLLPRNT* print_;
    const ArchiveSettings& settings_;
};

std::vector<std::string> requested_names(int count, const ZIPNAMES& names) {
    std::vector<std::string> requests;
    for (int i = 0; i < count; ++i) {
        const char* request = names.zipnames[i];
        if (request != nullptr && *request != '\0') requests.emplace_back(request);
    }
    return requests;
}

// Two files under one entry name cannot both be kept; the same file named
// twice is simply taken once.
int drop_repeated_names(std::vector<SelectedEntry>& entries, std::string& problem) {
    std::unordered_map<std::string, std::string> path_of_name;
    std::vector<SelectedEntry> unique;
    unique.reserve(entries.size());
    for (SelectedEntry& entry : entries) {
        const std::string key = entry.folder ? entry.name + "/" : entry.name;
        const auto [found, inserted] = path_of_name.emplace(key, entry.path_text);
        if (!inserted) {
            if (found->second == entry.path_text) continue;
            problem = "two files would be stored as " + entry.name + ": " + found->second + " and " + entry.path_text;
            return ZE_PARMS;
        }
        unique.push_back(std::move(entry));
    }
    entries = std::move(unique);
    return ZE_OK;
}

struct PlannedEntry {
    const SelectedEntry* entry;
    bool replacing;
};

// What actually changes in the archive, given what it already holds.
std::vector<PlannedEntry> plan_changes(const std::vector<SelectedEntry>& entries, const ArchiveFile& archive,
                                       const ArchiveSettings& settings) {
    const bool by_time = settings.update || settings.freshen;
    std::vector<PlannedEntry> plan;
    for (const SelectedEntry& entry : entries) {
        const auto existing = archive.entry_time(entry.folder ? entry.name + "/" : entry.name);
        if (entry.folder) {
            if (!existing && !settings.freshen) plan.push_back({&entry, false});
            continue;
        }
        if (settings.freshen && !existing) continue;
        if (by_time && existing && !newer_than_entry(entry.last_write, *existing)) continue;
        plan.push_back({&entry, existing.has_value()});
    }
    return plan;
}

bool needs_password(const std::vector<PlannedEntry>& plan) {
    return std::any_of(plan.begin(), plan.end(), [](const PlannedEntry& planned) { return !planned.entry->folder; });
}

// Asks the password callback once; false when it gives none.
bool ask_password(DLLPASSWORD* password_callback, const char* archive_path, SecretText& password) {
    char buffer[kPasswordBufferSize] = {};
    const int answer = password_callback(buffer, kPasswordBufferSize, "Enter password: ", archive_path);
    buffer[kPasswordBufferSize - 1] = '\0';
    password.assign(buffer, std::strlen(buffer));
    wipe_bytes(buffer, sizeof buffer);
    if (answer != 0) password.clear();
    return !password.empty();
}

int ask_comment(DLLCOMMENT* comment_callback, ArchiveFile& archive) {
    std::vector<char> buffer(kCommentBufferSize, '\0');
    const std::string current = archive.comment();
    std::copy_n(current.begin(), std::min(current.size(), kCommentBufferSize - 1), buffer.begin());
    comment_callback(buffer.data());
    buffer.back() = '\0';
    const std::string answer(buffer.data());
    return answer == current ? ZE_OK : archive.set_comment(answer);
}

// Moves the archived files out of their folders: deletes them, then the folders
// archived with them that are left empty, innermost first.
void remove_archived(const std::vector<PlannedEntry>& plan, const Messages& messages) {
    for (const PlannedEntry& planned : plan) {
        if (planned.entry->folder) continue;
        try {
            platform::remove_file(planned.entry->path_text);
        } catch (const Error& error) {
            messages.say("zip warning: could not delete " + planned.entry->path_text + ": " + error.description());
        }
    }
    for (auto it = plan.rbegin(); it != plan.rend(); ++it) {
        if (it->entry->folder) platform::remove_empty_folder(it->entry->path_text);
    }
}

class ArchiveRun {
public:
    ArchiveRun(const ZIPUSERFUNCTIONS& callbacks, const ArchiveSettings& settings, const char* archive_path,
               int threads)
        : callbacks_(callbacks),
          settings_(settings),
          messages_(callbacks.print, settings),
          archive_path_(archive_path),
          threads_(threads) {}

    int run(const std::vector<std::string>& requests) {
        const auto native = platform::native_path(archive_path_);
        if (!native) return fail(ZE_CREAT, "cannot reach the archive's drive: " + std::string(archive_path_));

        SelectionRules rules = settings_.selection;
        rules.skip_native = *native;
        std::string problem;
        auto selection = select_entries(rules, requests, problem);
        if (!selection) return fail(ZE_PARMS, problem);
        for (const std::string& note : selection->notes) messages_.say("zip warning: " + note);
        for (const std::string& detail : selection->details) messages_.detail(detail);
        if (const int rc = drop_repeated_names(selection->entries, problem); rc != ZE_OK) return fail(rc, problem);
        if (selection->entries.empty()) return fail(selection->unreadable ? ZE_OPEN : ZE_NONE, "nothing to do");

        std::unique_ptr<ArchiveFile> archive;
        if (const int rc = ArchiveFile::open(archive_path_, archive); rc != ZE_OK) {
            return fail(rc, "cannot open the archive");
        }
        const std::vector<PlannedEntry> plan = plan_changes(selection->entries, *archive, settings_);
        if (plan.empty()) return fail(ZE_NONE, "nothing to do");
        archive->set_threads(threads_);

        if (const int rc = write(*archive, plan); rc != ZE_OK) return rc;
        if (settings_.move) remove_archived(plan, messages_);
        messages_.detail("total: " + std::to_string(plan.size()) + " entries");
        return selection->unreadable ? ZE_OPEN : ZE_OK;
    }

private:
    int write(ArchiveFile& archive, const std::vector<PlannedEntry>& plan) {
        SecretText password;
        if (settings_.encrypt && needs_password(plan) && !ask_password(callbacks_.password, archive_path_, password))
            return fail(ZE_ABORT, "no password given");
        for (const PlannedEntry& planned : plan) {
            if (const int rc = add(archive, planned, password); rc != ZE_OK) return rc;
        }
        if (settings_.comment) {
            if (const int rc = ask_comment(callbacks_.comment, archive); rc != ZE_OK) return fail(rc, "comment");
        }
        const int rc = archive.close(callbacks_.progress);
        return rc == ZE_OK ? rc : fail(rc, "the archive could not be written");
    }

    int add(ArchiveFile& archive, const PlannedEntry& planned, const SecretText& password) {
        const SelectedEntry& entry = *planned.entry;
        const std::string shown = entry.folder ? entry.name + "/" : entry.name;
        if (callbacks_.ServiceApplication(shown.c_str(), static_cast<unsigned long>(entry.size)) != 0)
            return fail(ZE_ABORT, "cancelled");
        messages_.say((planned.replacing ? "updating: " : "  adding: ") + shown);
        if (entry.folder) {
            const int rc = archive.add_folder(entry.name, unix_seconds(entry.last_write), entry.permissions);
            return rc == ZE_OK ? rc : fail(rc, "cannot add " + entry.name);
        }
        const auto native = platform::native_path(entry.path_text);
        if (!native) return fail(ZE_OPEN, "cannot reach " + entry.path_text);
        const int rc = archive.add_file(entry.name, *native, entry.size, unix_seconds(entry.last_write),
                                        entry.permissions, settings_.level,
                                        password.text());
        return rc == ZE_OK ? rc : fail(rc, "cannot add " + entry.name);
    }

    int fail(int result, const std::string& reason) const {
        messages_.say("zip error: " + reason);
        return result;
    }

    const ZIPUSERFUNCTIONS& callbacks_;
    const ArchiveSettings& settings_;
    Messages messages_;
    const char* archive_path_;
    int threads_;
};

}  // namespace

int run_archive(const ZIPUSERFUNCTIONS& callbacks, const StoredOptions& options, int count, const char* archive_path,
                const ZIPNAMES* names, int threads) {
    ArchiveSettings settings;
    std::string problem;
    if (const int rc = read_settings(options, settings, problem); rc != ZE_OK) {
        settings.quiet = options.record.fQuiet != 0;
        Messages(callbacks.print, settings).say("zip error: " + problem);
        return rc;
    }
    const Messages messages(callbacks.print, settings);
    if (archive_path == nullptr || *archive_path == '\0' || names == nullptr || count < 0 || count > kMaxFileNames) {
        messages.say("zip error: no archive name or a bad file list");
        return ZE_PARMS;
    }
    const std::vector<std::string> requests = requested_names(count, *names);
    if (requests.empty()) {
        messages.say("zip error: nothing to do");
        return ZE_NONE;
    }
    return ArchiveRun(callbacks, settings, archive_path, threads).run(requests);
}

}  // namespace quillet::zip32
