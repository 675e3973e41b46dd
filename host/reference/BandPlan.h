#pragma once

#include <QString>
#include <QStringList>

namespace qarvel {

// The nine HF bands the log and the plug-in know, as their band texts
// ("1.8" ... "28"), with their ADIF names and edges.
const QStringList& BandTexts();

// The six contest bands, the only ones qarvel offers and logs on: "1.8",
// "3.5", "7", "14", "21", "28".
const QStringList& ContestBandTexts();
// Whether a band text is one of the six contest bands; the WARC bands
// ("10", "18", "24") and anything else are not.
bool IsContestBand(const QString& bandText);
// The band in metres as the statistics window names it ("7" gives "40",
// "10" gives "30"); an unknown band text gives an empty text.
QString MetresOfBand(const QString& bandText);

// "20m" (any case) gives "14"; a band outside the nine gives an empty text.
QString BandFromAdifName(const QString& adifBand);
// "14" gives "20m"; an unknown band text gives an empty text.
QString AdifNameOfBand(const QString& band);
// 14.025 gives "14"; a frequency outside the nine bands gives an empty text.
QString BandFromMegahertz(double megahertz);
// The lower band edge in kHz ("14" gives 14000), 0 for an unknown band.
int LowerEdgeKilohertz(const QString& band);

// The report an operator gives without thinking: 599 on CW and digital
// modes, 59 on phone.
QString DefaultReport(const QString& mode);

} // namespace qarvel
