// The host's vehicle catalogue vuvi.fzg and its Zoom2 archive vuvi.fz2, read for the
// import dialog: the sets of one category, each vehicle checked whole, and the copy
// that Insert puts into a fleet.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_file.h"
#include "host/host_text.h"
#include "records/vehicle.h"
#include "storage/file_messages.h"

namespace rvk {

inline constexpr std::string_view kHostCatalogueFile = "vuvi.fzg";
inline constexpr std::string_view kHostArchiveFile = "vuvi.fz2";
inline constexpr int kTextReadingCatalogue = 772;  // status line while vuvi.fzg is read
inline constexpr int kTextReadingArchive = 773;    // status line while vuvi.fz2 is read
inline constexpr std::uint16_t kFirstHostSet = 5000;

// The filter of each item of the category box; item 0 selects nothing. Item i is
// captioned with language text 755 + i.
inline constexpr std::array<std::uint32_t, 17> kHostCategoryFilters = {
    0,       0x00001, 0x00002, 0x00004, 0x00008, 0x00010, 0x00020, 0x00040, 0x00080,
    0x00100, 0x00200, 0x00400, 0x00800, 0x02000, 0x10000, 0x04000, 0x20000};
inline constexpr std::uint32_t kTramDeFilter = 0x00001;

// One vehicle of a set. Its graphics are kept as the checked bytes of the host's files
// and decoded again when they are needed (HostVehicleRecord): a category holds
// thousands of vehicles, and full records would take most of a gigabyte.
struct HostVehicle {
    std::uint8_t position = 0;  // the catalogue's position byte
    // Sizes, Props, steam points, Info and, with archive graphics, Zoom2Exists, the
    // Zoom2 sizes and Zoom2Info; no plane holds pixels.
    VehicleRec data;
    std::vector<std::uint8_t> planes;  // the normal views as coded in vuvi.fzg
    std::vector<std::uint8_t> zoom2;   // the archive's Zoom2 graphics from the end of their banner
};

struct HostSet {
    std::uint16_t number = 0;  // 5000 or more
    std::string name;          // prepared for the list, at most 32 characters (Windows-1252)
    std::vector<HostVehicle> vehicles;
};

// Whether set name a sorts before b; the names come with leading and trailing blanks
// and control characters removed. The window compares in the user's locale.
using HostNameLess = std::function<bool(std::string_view a, std::string_view b)>;
// A fixed order ignoring the case of ASCII letters (the command line's).
bool HostNameLessIgnoringCase(std::string_view a, std::string_view b);

// Progress for the status line: language text 772 or 773 with a set number (shown as
// "%s %.5d"), setNumber -1 for the text alone, text 0 for a blank line.
using HostProgress = std::function<void(int text, int setNumber)>;

struct Catalogue {
    std::vector<HostSet> sets;      // in list order
    std::vector<Message> messages;  // 555 with the path of a file that could not be opened
};

// The sets of the installation whose category bits meet the filter, sorted by name,
// with the archive's Zoom2 graphics. A vehicle is listed only when its whole record
// decodes; a set with one that does not is left out, as is everything past the
// point where a damaged index ends. Filter 0 reads nothing.
Catalogue LoadCatalogue(const std::string& installation, std::uint32_t filter,
                        const HostTextTable& texts, const HostNameLess& less,
                        const HostProgress& progress = {});

// The same on open files (for tests and fuzzing); `archive` may be null. Messages
// are not produced here.
std::vector<HostSet> ReadCatalogue(HostFile& catalogue, HostFile* archive, std::uint32_t filter,
                                   const HostTextTable& texts, const HostNameLess& less,
                                   const HostProgress& progress = {});

// A set's name as listed: HostText of its number; in "tram, DE" a leading "DE " or
// "-- " loses its first two characters to spaces; the first "#t" becomes as many
// spaces as fill the name to 32 characters (at least one); then cut to 32.
std::string PrepareSetName(std::string name, std::uint32_t filter);

// The vehicle as the catalogue and archive give it, every plane decoded: for a
// preview line and for Insert.
VehicleRec HostVehicleRecord(const HostVehicle& vehicle);

// installation + zoom2/NNNNN-PP.fzz, found ignoring case as every host file.
std::string AlternativeZoom2Path(const std::string& installation, std::uint16_t setNumber,
                                 std::uint8_t position);

// What Insert puts into the fleet: a copy of the vehicle (Zoom2Modified clear). With
// an alternative file (`alternativeFile` not empty), the copy's Zoom2Path becomes that
// path and the file's Zoom2 graphics replace those from the archive when it is
// accepted; a refused file leaves the copy as it was. No message either way.
VehicleRec InsertCopy(const HostVehicle& vehicle, const std::string& alternativeFile = {});

}  // namespace rvk
