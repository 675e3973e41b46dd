#include "HostFolder.h"

#include <QCoreApplication>

namespace zelmar {

namespace {

std::string& Override() {
    static std::string folder;
    return folder;
}

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

std::string HostFolder() {
    if (!Override().empty())
        return WithSeparator(Override());
    return WithSeparator(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString());
}

void SetHostFolderForTesting(const std::string& folder) { Override() = folder; }

} // namespace zelmar
