#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace zelmar {

// One window's section of the host program's settings file: an INI file in
// the user's configuration folder, named after the host's executable. Every
// entry is kept as text. Failures throw TSettingsError with the operator's
// message.
class TSettingsSection {
public:
    enum class TAccess { Read, Write };

    // Write access throws "Failed to create key ..." when the file or its
    // folder cannot be created or written; read access never creates either.
    // A file the store cannot parse is renamed aside, never deleted, and a
    // fresh one started; SetAsideNotice then tells the operator where it went.
    TSettingsSection(const QString& section, TAccess access);
    ~TSettingsSection();
    TSettingsSection(const TSettingsSection&) = delete;
    TSettingsSection& operator=(const TSettingsSection&) = delete;

    // The entry's text; nothing when it is missing. Throws "Failed to get
    // data for '...'" when the file exists but cannot be read, and "Invalid
    // data type for '...'" when the entry holds something other than text.
    std::optional<QString> Read(const QString& name) const;
    // Read, with the default for a missing entry.
    QString Read(const QString& name, const QString& fallback) const;

    // Entries are held until Commit, which replaces the file at once: a
    // failed commit leaves the previous file as it was.
    void Write(const QString& name, const QString& text);
    // Throws "Failed to set data for '...'" naming the first entry written.
    void Commit();
    // Entries written but not committed yet.
    bool Pending() const { return !pending_.isEmpty(); }

    QString FileName() const;
    // What the operator is to be told when this section set the file aside.
    const std::optional<QString>& SetAsideNotice() const { return setAsideNotice_; }

    // The host's executable file name without folder and extension.
    static QString HostProgramName();

private:
    QString KeyName() const;
    void WriteVerified(const QString& fileName) const;
    void SetAsideUnparsable();
    void OpenFile();

    std::unique_ptr<QSettings> settings_;
    QString section_;
    QList<QPair<QString, QString>> pending_;
    bool unreadable_ = false;
    std::optional<QString> setAsideNotice_;
};

} // namespace zelmar
