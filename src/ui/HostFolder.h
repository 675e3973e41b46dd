#pragma once

#include <string>

namespace zelmar {

// The folder of the host's executable, where its Plugins folder lies, as
// local 8-bit bytes ending in '/'.
std::string HostFolder();

// Tests point the module at a folder of their own; empty restores the host's.
void SetHostFolderForTesting(const std::string& folder);

} // namespace zelmar
