#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace qarvel::testing {

struct QarvelResult {
    int exitCode = -1; // -1 when it crashed or did not finish
    QString out, err;
};

// The built qarvel, run without a display and with settings and data
// folders of its own below `home`.
inline QarvelResult RunQarvel(const QString& home, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZELMAR_TEST_BUILD_DIR "/qarvel"), args);
    QarvelResult r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "qarvel " << args.join(' ').toStdString() << " did not finish";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

} // namespace qarvel::testing
