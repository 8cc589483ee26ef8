// Internal to the POSIX backend: COM numbers for USB adapters, as Windows gives them. The first
// time the component sees an adapter that no entry of the port-name folder names, it links the
// lowest free name from COM3 up to the adapter's stable link (serial/device_tree.h). Free means
// that no entry of the folder has that name (a mapped adapter that is unplugged keeps its
// number) and that no on-board port that really exists holds it (ttySn holds COMn+1). The same
// adapter then keeps its number in any socket and after replugging, when its node may change.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace serial::backend::posix {

// The number of "COMn" (any case), or nothing.
std::optional<int> ComNumber(const std::string& name);

// One entry of the port-name folder (dot files, the folder's own, are left out).
struct MappedName {
    std::string name;   // as in the folder
    std::string path;   // the entry itself
    std::string target; // where its link points, made absolute; empty when it is no link
};
std::vector<MappedName> MappedNames();

// The names from COM3 up that adapters get; Windows stops at COM256 too.
constexpr int kFirstAdapterNumber = 3;
constexpr int kLastComNumber = 256;

// Links a name to each plugged-in adapter that has none. Several programs may do this at once:
// they take turns through a lock file in the folder, and each name is made with one symlink()
// that fails rather than replaces. A folder that cannot be written leaves adapters unnumbered.
void NumberNewAdapters();

} // namespace serial::backend::posix
