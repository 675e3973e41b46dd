#pragma once

#include "formats/LogFileImporter.h"

class QWidget;

namespace qarvel {

class SharedLog;

// An import (ADIF or Cabrillo) into a shared log: the rows go to the server in one
// transaction that nothing else joins, run by the shared log's worker while
// the window shows its progress (and may cancel it); the report says what
// the server took: every row or none.
class SharedLogImport {
public:
    SharedLogImport(SharedLog& shared, const LogFileImporter& importer)
        : shared_(shared), importer_(importer) {}

    LogImportReport Run(const QByteArray& data, const QString& fileName, QWidget* parent);

private:
    SharedLog& shared_;
    const LogFileImporter& importer_;
};

} // namespace qarvel
