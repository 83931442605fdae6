#pragma once

#include "platform/ui/ActionTable.h"

// The document window's commands.
#define QUILMAR_EDIT_ACTIONS(X) \
    X(New1) X(Open1) X(Save1) X(Saveas1) X(Saveselecteditem1) X(Close1) X(Exit1) X(Undo1) X(Redo1) X(Cut1) \
    X(Copy1) X(Paste1) X(PasteunformattedText1) X(Pastewithoptions1) X(Delete1) X(Selectall1) X(Find1) \
    X(FindNext1) X(Replace1) X(Spellcheck2) X(Spellcheck1) X(Objectproperties1) X(IPicture1) X(IObject1) X(Wordwrap1) \
    X(UnicodeNumeric1) X(ANSINumeric1) X(AllNumeric1) X(NumericUnicode1) X(Join1) X(JoinAll1) X(Sort1) \
    X(SortDown1) X(UpperCase1) X(LowerCase1) X(InitialCaps1) X(Date1) X(Path1) X(PageNo1) X(FormFeed1) \
    X(Column1) X(Delete2) X(InsertSpace1) X(Paste3) X(Print1) X(Printersetup1) X(Pagesetup1) X(WYSIWYG1) \
    X(Preview2)

QUILMAR_DECLARE_ACTIONS(EditAction, QUILMAR_EDIT_ACTIONS)
