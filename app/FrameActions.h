#pragma once

#include "platform/ui/ActionTable.h"

// The frame's commands, shown while no document is open or beside the
// document's own.
#define QUILMAR_FRAME_ACTIONS(X) \
    X(New1) X(Open1) X(Exit1) X(StandardFont1) X(createbackupfiles1) X(SearchFiles1) X(Searchforcasemismatch1) \
    X(URL1) X(English1) X(Deutsch1) X(other1) X(Language1) X(Showruler1) X(Show1) X(ShowSidebar1) X(Tile1) \
    X(Tilevertically1) X(Cascade1) X(Arrangeicons1) X(Minimize1) X(Normal1) X(Maximize1) X(Closeall1) X(Help2) \
    X(ReadMe1) X(Info1) X(ToolButton2) X(ToolButton3) X(ToolButton11) X(ToolButton7) X(ToolButton15) \
    X(ToolButton9) X(ToolButton6)

QUILMAR_DECLARE_ACTIONS(FrameAction, QUILMAR_FRAME_ACTIONS)
