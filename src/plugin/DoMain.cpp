#include "CurrentRecord.h"
#include "Exports.h"
#include "ModuleReferences.h"
#include "ui/BusyScope.h"
#include "ui/ErrorReporter.h"
#include "ui/TfmDomList.h"
#include "ui/TfmMainForm.h"

#include <QPointer>
#include <exception>

using namespace zelmar;

namespace {

void ReportUnexpected(const char* where, const std::exception* e) {
    try {
        ReportError(e ? QString::fromLocal8Bit(e->what())
                      : QStringLiteral("Unexpected error in %1").arg(QLatin1String(where)));
    } catch (...) {
        // Reporting itself failed; the host must still not see an exception.
    }
}

} // namespace

void _GetInfo(TPluginInfo* info) {
    try {
        if (info)
            WritePluginInfo(info);
    } catch (...) {
    }
}

std::uintptr_t _Run(std::int32_t /*ignored*/, const TPluginRecord* record) {
    const TBusyScope busy;
    try {
        if (!CurrentWindow()) {
            CurrentWindow() = new TfmMainForm(record);
            CurrentWindow()->winId();
        }
        const QPointer<TfmMainForm> window = CurrentWindow();
        window->show();
        // The show may have ended in a release or a close of the window (a
        // message handled during the replay or under an error box); then
        // there is no handle to give.
        if (!window || CurrentWindow() != window)
            return 0;
        return static_cast<std::uintptr_t>(window->winId());
    } catch (const std::exception& e) {
        ReportUnexpected("_Run", &e);
    } catch (...) {
        ReportUnexpected("_Run", nullptr);
    }
    return 0;
}

std::int32_t _AddQSO(const TPluginRecord* record) {
    const TBusyScope busy;
    try {
        CopyInRecord(record);
        TfmMainForm* window = CurrentWindow();
        if (!window || !window->Scorer())
            return 0;
        TContestScorer& scorer = *window->Scorer();
        const std::int32_t result = scorer.ScoreQSO(true);
        if (result > 0)
            scorer.SortQSOList();
        scorer.ShowStatistic(*window);
        return result;
    } catch (const std::exception& e) {
        ReportUnexpected("_AddQSO", &e);
    } catch (...) {
        ReportUnexpected("_AddQSO", nullptr);
    }
    return 0;
}

std::int32_t _GetScore(const TPluginRecord* record) {
    const TBusyScope busy;
    try {
        CopyInRecord(record);
        TfmMainForm* window = CurrentWindow();
        if (!window || !window->Scorer())
            return 0;
        return window->Scorer()->ScoreQSO(false);
    } catch (const std::exception& e) {
        ReportUnexpected("_GetScore", &e);
    } catch (...) {
        ReportUnexpected("_GetScore", nullptr);
    }
    return 0;
}

void _GrabNumber(const TPluginRecord* record, unsigned char* receiving) {
    const TBusyScope busy;
    try {
        CopyInRecord(record);
        std::string exchange;
        TfmMainForm* window = CurrentWindow();
        if (window && window->Scorer())
            exchange = window->Scorer()->Tables().GrabExchange(CurrentRecord());
        if (receiving)
            WriteShortText(*reinterpret_cast<ShortText*>(receiving), exchange);
    } catch (const std::exception& e) {
        if (receiving)
            receiving[0] = 0;
        ReportUnexpected("_GrabNumber", &e);
    } catch (...) {
        if (receiving)
            receiving[0] = 0;
        ReportUnexpected("_GrabNumber", nullptr);
    }
}

void _Release() {
    const TBusyScope busy;
    try {
        // The reference is empty at once; the window goes once no code of
        // the module is on the stack any more, saving its placement then.
        if (TfmMainForm* window = CurrentWindow())
            window->Release();
        CurrentWindow() = nullptr;
        MultipliersWindow() = nullptr;
    } catch (...) {
    }
}
