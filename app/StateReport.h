#pragma once

#include <QByteArray>

class TFrameForm;

// The frame's state as one JSON object: its documents (file, coding, window
// state, modified, length), the recent list, the title and whether the
// Replace dialog is up. Written for automation when QUILMAR_STATE_REPORT
// names a file.
QByteArray frameStateReport(TFrameForm &frame);
