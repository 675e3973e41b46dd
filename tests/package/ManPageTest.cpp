#include "app/CommandLine.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// The options --help lists, such as "-h" and "--help".
QSet<QString> HelpOptions() {
    QSet<QString> options;
    static const QRegularExpression entry(QStringLiteral("^\\s+(-\\w)?(?:, )?(--[\\w-]+)?"));
    for (const QString& line : qarvel::CommandLine::HelpText().split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = entry.match(line);
        for (int group : {1, 2})
            if (!m.captured(group).isEmpty())
                options.insert(m.captured(group));
    }
    return options;
}

// The options the manual page gives an entry of its own: those in the tag
// line after each .TP request, with troff's escapes taken out.
QSet<QString> ManPageEntries(const QString& page) {
    QSet<QString> options;
    static const QRegularExpression font(QStringLiteral("\\\\f[BIRP]"));
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][\\w-]*"));
    const QStringList lines = page.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].trimmed() != QStringLiteral(".TP"))
            continue;
        QString tag = lines[i + 1];
        tag.replace(QStringLiteral("\\-"), QStringLiteral("-")).remove(font);
        for (const QRegularExpressionMatch& m : option.globalMatch(tag))
            options.insert(m.captured());
    }
    return options;
}

QStringList Sorted(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    list.sort();
    return list;
}

TEST(ManPage, HasAnEntryForEveryOptionOfTheHelpAndNoOther) {
    const QSet<QString> help = HelpOptions();
    // Guards the parsing itself: an empty set would make the page complete.
    ASSERT_TRUE(help.contains(QStringLiteral("-h")) && help.contains(QStringLiteral("--help")) &&
                help.contains(QStringLiteral("--score")) &&
                help.contains(QStringLiteral("--export-cabrillo")))
        << Sorted(help).join(' ').toStdString();

    QFile file(QStringLiteral(QARVEL_MAN_PAGE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << QARVEL_MAN_PAGE;
    const QSet<QString> page = ManPageEntries(QString::fromUtf8(file.readAll()));

    EXPECT_EQ(Sorted(help - page).join(' ').toStdString(), "")
        << "options of qarvel --help without an entry in the manual page";
    EXPECT_EQ(Sorted(page - help).join(' ').toStdString(), "")
        << "entries of the manual page that qarvel --help does not list";
}

} // namespace
