// Station > Settings on an open log: the own county is checked against the
// county table, and the station is kept with the log, which is rescored.
#include "logbook/StationStore.h"
#include "windows/QsoEntryLine.h"
#include "WindowFixture.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QTest>
#include <functional>

using namespace qarvel;
using qarvel::testing::WindowFixture;

namespace {

class StationFlow : public WindowFixture {
protected:
    // Runs `fill` on the station dialog once it is up.
    static void OnStationDialog(std::function<void(QWidget*)> fill) {
        QTimer::singleShot(20, [fill] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("StationDialog") && w->isVisible()) {
                    fill(w);
                    return;
                }
            OnStationDialog(fill);
        });
    }
    static void Set(QWidget* dialog, const char* field, const QString& text) {
        dialog->findChild<QLineEdit*>(QLatin1String(field))->setText(text);
    }
    static QPushButton* Ok(QWidget* dialog) {
        return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    }
    StationSettings Kept() {
        StationSettings s;
        QString error;
        EXPECT_EQ(StationStore(book_->Database(), book_->Table()).Load(s, &error),
                  StationStore::Read::Found)
            << error.toStdString();
        return s;
    }
    void LogQso(const QString& call, const QString& received) {
        QsoRow row;
        row.date = QStringLiteral("2024-03-09");
        row.time = QStringLiteral("12:00:00");
        row.call = call;
        row.band = QStringLiteral("14");
        row.mode = QStringLiteral("CW");
        row.sent = QStringLiteral("599 BU");
        row.received = received;
        const auto match = Countries().Resolve(call.toStdString());
        ASSERT_TRUE(match);
        row.dxccPrefix = row.mainPrefix = QString::fromStdString(match->primaryPrefix);
        row.continent = QString::fromStdString(match->continent);
        QString error;
        ASSERT_TRUE(book_->Append(row, &error)) << error.toStdString();
    }
};

TEST_F(StationFlow, AnUnknownOwnCountyIsRefusedAndTheStationIsKeptWithTheRescoredLog) {
    LogQso(QStringLiteral("DL1ABC"), QStringLiteral("599 001"));
    LogQso(QStringLiteral("YO5ZAA"), QStringLiteral("599 AB"));
    ASSERT_TRUE(session_->Start());
    const QString asYo = session_->ScoreLineText();

    QString refusal;
    bool okWhileWrong = true;
    OnStationDialog([&](QWidget* dialog) {
        Set(dialog, "StationSentExchange", QStringLiteral("B"));
        okWhileWrong = Ok(dialog)->isEnabled();
        refusal = dialog->findChild<QLabel*>(QStringLiteral("StationProblem"))->text();
        Set(dialog, "StationSentExchange", QStringLiteral("BU"));
        Ok(dialog)->click();
    });
    window_->EditStation();
    EXPECT_FALSE(okWhileWrong);
    EXPECT_TRUE(refusal.contains("\"B\" is not a county") && refusal.contains("BU"))
        << refusal.toStdString();
    EXPECT_EQ(Kept().call, "YO3ZZZ");
    EXPECT_EQ(Kept().sentExchange, "BU");
    EXPECT_EQ(window_->EntryLine()->findChild<QLineEdit*>(QStringLiteral("EntrySent"))->text(),
              "599 BU");

    // A station outside YO sends serial numbers: no county is asked of it,
    // and the open log is counted again as that station's.
    OnStationDialog([&](QWidget* dialog) {
        Set(dialog, "StationCall", QStringLiteral("DL2XYZ"));
        Set(dialog, "StationPrefix", QStringLiteral("DL"));
        Set(dialog, "StationSentExchange", QString());
        Ok(dialog)->click();
    });
    window_->EditStation();
    EXPECT_EQ(Kept().call, "DL2XYZ");
    EXPECT_EQ(Kept().dxccPrefix, "DL");
    EXPECT_NE(session_->ScoreLineText(), asYo);
    EXPECT_EQ(window_->Station().call, "DL2XYZ");
}

} // namespace
