#include "reference/BandPlan.h"

#include <array>

namespace qarvel {

namespace {

struct Band {
    const char* text;
    const char* adif;
    double lowMHz;
    double highMHz;
    bool contest; // contests are never held on the WARC bands
};

// Edges as in the ADIF band enumeration.
constexpr std::array<Band, 9> kBands = {{
    {"1.8", "160m", 1.8, 2.0, true},
    {"3.5", "80m", 3.5, 4.0, true},
    {"7", "40m", 7.0, 7.3, true},
    {"10", "30m", 10.1, 10.15, false},
    {"14", "20m", 14.0, 14.35, true},
    {"18", "17m", 18.068, 18.168, false},
    {"21", "15m", 21.0, 21.45, true},
    {"24", "12m", 24.89, 24.99, false},
    {"28", "10m", 28.0, 29.7, true},
}};

const Band* FindBand(const QString& text) {
    for (const Band& b : kBands)
        if (text == QLatin1String(b.text))
            return &b;
    return nullptr;
}

} // namespace

const QStringList& BandTexts() {
    static const QStringList texts = [] {
        QStringList out;
        for (const Band& b : kBands)
            out << QLatin1String(b.text);
        return out;
    }();
    return texts;
}

const QStringList& ContestBandTexts() {
    static const QStringList texts = [] {
        QStringList out;
        for (const Band& b : kBands)
            if (b.contest)
                out << QLatin1String(b.text);
        return out;
    }();
    return texts;
}

bool IsContestBand(const QString& bandText) {
    const Band* b = FindBand(bandText.trimmed());
    return b && b->contest;
}

QString MetresOfBand(const QString& bandText) {
    const Band* b = FindBand(bandText.trimmed());
    return b ? QString::fromLatin1(b->adif).chopped(1) : QString();
}

QString BandFromAdifName(const QString& adifBand) {
    const QString name = adifBand.trimmed().toLower();
    for (const Band& b : kBands)
        if (name == QLatin1String(b.adif))
            return QLatin1String(b.text);
    return {};
}

QString AdifNameOfBand(const QString& band) {
    const Band* b = FindBand(band);
    return b ? QString::fromLatin1(b->adif) : QString();
}

QString BandFromMegahertz(double megahertz) {
    // A small tolerance keeps 14.35 and 7.3 themselves inside their bands.
    constexpr double kEpsilon = 1e-9;
    for (const Band& b : kBands)
        if (megahertz >= b.lowMHz - kEpsilon && megahertz <= b.highMHz + kEpsilon)
            return QLatin1String(b.text);
    return {};
}

int LowerEdgeKilohertz(const QString& band) {
    const Band* b = FindBand(band);
    return b ? static_cast<int>(b->lowMHz * 1000.0 + 0.5) : 0;
}

QString DefaultReport(const QString& mode) {
    static const QStringList phone = {QStringLiteral("SSB"), QStringLiteral("USB"),
                                      QStringLiteral("LSB"), QStringLiteral("AM"),
                                      QStringLiteral("FM")};
    return phone.contains(mode.trimmed().toUpper()) ? QStringLiteral("59") : QStringLiteral("599");
}

} // namespace qarvel
