#pragma once

#include "contest/LogFinding.h"

#include <QDialog>
#include <vector>

namespace qarvel {

// The check of the whole log, shown before a Cabrillo file is written:
// one line per finding, information in grey. The operator writes the file
// anyway (accept) or goes back to mend the log (reject).
class LogCheckDialog : public QDialog {
    Q_OBJECT
public:
    LogCheckDialog(const std::vector<LogFinding>& findings, int qsos, QWidget* parent = nullptr);
};

} // namespace qarvel
