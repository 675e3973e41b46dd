#include "SettingsSection.h"

#include "SettingsError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QScopeGuard>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>
#include <cstdio>

namespace zelmar {

namespace {

// Keys of the store name their section like the host's registry key would:
// the settings file, then the window's section.
QString KeyText(const QString& fileName, const QString& section) {
    return QStringLiteral("%1 [%2]").arg(QDir::toNativeSeparators(fileName), section);
}

// Whether the file, as it is now, is one the store cannot parse. QSettings
// keeps what it parsed of a file and reports no error for it again, so a
// copy under a name of its own is parsed instead.
bool Unparsable(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QTemporaryFile copy;
    if (!copy.open() || copy.write(file.readAll()) != file.size() || !copy.flush())
        return false;
    // Sections are parsed when first read: all of them are, before asking.
    const QSettings parsed(copy.fileName(), QSettings::IniFormat);
    (void)parsed.allKeys();
    return parsed.status() == QSettings::FormatError;
}

} // namespace

QString TSettingsSection::HostProgramName() {
    const QString path = QCoreApplication::applicationFilePath();
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const QString whole = name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    // A host called ".name" would otherwise share a nameless file.
    return name.isEmpty() ? whole : name;
}

TSettingsSection::TSettingsSection(const QString& section, TAccess access) : section_(section) {
    OpenFile();
    // QSettings reports a parse error only once the section is read, only
    // until it reads the next file of its search path, and never again for
    // a file it has parsed before: the file is parsed on its own to know.
    if (settings_->status() == QSettings::FormatError || Unparsable(settings_->fileName()))
        SetAsideUnparsable();
    // A file that is only partly readable still yields what it holds; the
    // next save rewrites it whole. A file that cannot be read at all is an
    // error of every read.
    unreadable_ = settings_->status() == QSettings::AccessError;
    if (access == TAccess::Write && !settings_->isWritable())
        throw TSettingsError(QStringLiteral("Failed to create key %1").arg(KeyName()));
    settings_->beginGroup(section_);
}

TSettingsSection::~TSettingsSection() = default;

void TSettingsSection::OpenFile() {
    settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            HostProgramName());
    // Only the user's own file: no system-wide defaults are mixed in.
    settings_->setFallbacksEnabled(false);
}

// A file the store cannot parse would be rewritten from the little it could
// make of it, or refuse every save: the operator's file is kept as it is,
// under a name of its own, and the store starts afresh.
void TSettingsSection::SetAsideUnparsable() {
    const QString fileName = settings_->fileName();
    const QString native = QDir::toNativeSeparators(fileName);
    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(5000))
        throw TSettingsError(
            QStringLiteral("The settings file %1 cannot be read and is in use").arg(native));
    // Another user of the file may have set it aside meanwhile.
    if (Unparsable(fileName)) {
        QString aside = fileName + QStringLiteral(".unreadable");
        for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
            aside = fileName + QStringLiteral(".unreadable-%1").arg(n);
        if (!QFile::rename(fileName, aside))
            throw TSettingsError(
                QStringLiteral("The settings file %1 cannot be read, nor kept aside as %2")
                    .arg(native, QDir::toNativeSeparators(aside)));
        setAsideNotice_ = QStringLiteral("The settings file %1 cannot be read. It is kept as %2, "
                                         "and a new settings file is started.")
                              .arg(native, QDir::toNativeSeparators(aside));
    }
    OpenFile();
}

std::optional<QString> TSettingsSection::Read(const QString& name) const {
    if (unreadable_)
        throw TSettingsError(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (!settings_->contains(name))
        return std::nullopt;
    const QVariant value = settings_->value(name);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        // An unquoted "10,20" in a hand-edited file reads as a list.
        return value.toStringList().join(QLatin1Char(','));
    default:
        throw TSettingsError(QStringLiteral("Invalid data type for '%1'").arg(name));
    }
}

QString TSettingsSection::Read(const QString& name, const QString& fallback) const {
    return Read(name).value_or(fallback);
}

void TSettingsSection::Write(const QString& name, const QString& text) {
    pending_.append({section_ + QLatin1Char('/') + name, text});
}

void TSettingsSection::Commit() {
    if (pending_.isEmpty())
        return;
    const QString failure = QStringLiteral("Failed to set data for '%1'")
                                .arg(pending_.first().first.mid(section_.size() + 1));
    const QString fileName = settings_->fileName();
    // One writer at a time, as with every other user of the file.
    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(5000))
        throw TSettingsError(failure);
    try {
        WriteVerified(fileName);
    } catch (const TSettingsError&) {
        throw TSettingsError(failure);
    }
    pending_.clear();
}

// QSettings replaces its file through a temporary one, but a write that
// stops part-way (a full disk, a size limit) can still go unnoticed and
// leave a cut-off file in its place. So the new contents are written to a
// file of their own, read back whole under a name never read before, and
// only when they match does that file take the place of the old one.
void TSettingsSection::WriteVerified(const QString& fileName) const {
    const auto fail = [] { throw TSettingsError(QString()); };
    QMap<QString, QVariant> contents;
    settings_->endGroup();
    for (const QString& key : settings_->allKeys())
        contents.insert(key, settings_->value(key));
    settings_->beginGroup(section_);
    for (const auto& [key, text] : pending_)
        contents.insert(key, text);

    QTemporaryFile staging(fileName + QStringLiteral(".XXXXXX"));
    if (!staging.open())
        fail();
    staging.close();
    {
        QSettings out(staging.fileName(), QSettings::IniFormat);
        out.setAtomicSyncRequired(true);
        for (auto it = contents.cbegin(); it != contents.cend(); ++it)
            out.setValue(it.key(), it.value());
        out.sync();
        if (out.status() != QSettings::NoError)
            fail();
    }

    const QString checked = staging.fileName() + QStringLiteral(".new");
    if (!QFile::rename(staging.fileName(), checked))
        fail();
    auto removeChecked = qScopeGuard([&] { QFile::remove(checked); });
    {
        const QSettings in(checked, QSettings::IniFormat);
        if (in.status() != QSettings::NoError)
            fail();
        const QStringList keys = in.allKeys();
        if (keys.size() != contents.size())
            fail();
        for (const QString& key : keys)
            if (!contents.contains(key) || in.value(key) != contents.value(key))
                fail();
    }
    if (std::rename(QFile::encodeName(checked).constData(),
                    QFile::encodeName(fileName).constData()) != 0)
        fail();
    removeChecked.dismiss();
}

QString TSettingsSection::FileName() const {
    return settings_->fileName();
}

QString TSettingsSection::KeyName() const {
    return KeyText(settings_->fileName(), section_);
}

} // namespace zelmar
