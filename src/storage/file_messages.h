// What the windows and the command line tell the user when a file cannot be read or
// written: language text numbers, the reason of a failed file operation, and the message.
#pragma once

#include <optional>
#include <string>

#include "storage/file_io.h"

namespace rvk {

// Language texts of the file messages.
inline constexpr int kTextCannotOpen = 555;        // "cannot open %s"
inline constexpr int kTextCannotSave = 590;        // "%s could not be saved: %s."
inline constexpr int kTextPermissionDenied = 591;  // reasons, the second %s above
inline constexpr int kTextWriteProtected = 592;
inline constexpr int kTextDiskFull = 593;
inline constexpr int kTextReadOnlyFileSystem = 594;
inline constexpr int kTextUnreadCompanions = 595;  // "... could not be read ...:\n%s"
inline constexpr int kTextInterruptedSave = 596;   // "interrupted save of %s ...: %s."
inline constexpr int kTextDamagedFile = 597;
inline constexpr int kTextOtherLength = 598;
inline constexpr int kTextNotRegularFile = 599;
inline constexpr int kTextBeingSaved = 650;       // "%s is being saved by another program ..."
inline constexpr int kTextJournalSetAside = 651;  // "... journal of %s ... set aside as %s ..."
inline constexpr int kTextInUse = 652;            // a reason: another program has it open

// Why a file could not be used: a language text, or the system's own words when the
// text is 0.
struct Reason {
    int text = 0;
    std::string words;
    bool operator==(const Reason&) const = default;
};
Reason ReasonOf(const FileError& error);

// What a window must tell the user: a language text number, its string argument and,
// for texts with a second placeholder, the reason.
struct Message {
    Message() = default;
    Message(int t, std::string a, std::optional<Reason> r = std::nullopt)
        : text(t), arg(std::move(a)), reason(std::move(r)) {}
    int text = 0;
    std::string arg;
    std::optional<Reason> reason;
    bool operator==(const Message&) const = default;
};

}  // namespace rvk
