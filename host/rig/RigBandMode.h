#pragma once

#include <QString>

namespace qarvel {

// How the log writes what the rig reports.

// The band text of a frequency in Hz ("7" for 7025000); empty outside the
// nine bands.
QString BandOfHertz(qint64 hertz);
// MHz as the log keeps it, to the Hz, at least to the kHz: 7025000 gives
// "7.025", 14025500 "14.0255".
QString MegahertzText(qint64 hertz);
// The log's mode for a Hamlib mode name: CW and CWR are CW; USB, LSB and
// AM are SSB; any other (FM, RTTY, PKTUSB...) is logged as the rig names it.
QString LogModeOfRig(const QString& rigMode);

} // namespace qarvel
