// Every SQL statement that the standards dialogs run, built in one place from its
// fixed pieces (blanks included) so that what reaches the database is exactly these
// texts, and the two text rules they share: SQL quoting and the dialogs' number display.
#pragma once
#include <afx.h>

namespace tabrik::arx::standards::sql {

// A text value as SQL: wrapped in apostrophes, each apostrophe inside doubled; the
// empty text becomes "' '" (the engine stores an empty text as one blank anyway).
CString quote(const CString& text);

// A number with `decimals` fixed decimals, then trailing zeros removed, and the point
// too when no decimal remains: (0.5, 2) -> "0.5", (45.0, 2) -> "45", (-0.004, 2) -> "0"
// (no negative zero).
CString formatNumber(double value, int decimals);

// The layer keys of layer system n, or of the general system (no row, keys with a
// null system).
CString layerKeysOfSystem(long system);
CString layerKeysOfGeneralSystem();
// Whether layer n is referenced by a key.
CString keysReferencingLayer(long layer);
// Copies the keys of system `source` to system `target`.
CString copySystemKeys(long target, long source);
CString deleteSystemKeys(long system);
CString deleteSystem(long system);
CString deleteUnusedLayers();
// The label rows of a group in their order.
CString labelGroupRows(const CString& group);
// The heads of the two save statements: "update <table> set"; each save appends its
// assignments and then whereLabelGroup / whereTextStyle.
CString updateLabelGroupHead();
CString whereLabelGroup(long id);
CString updateTextStyleHead();
CString whereTextStyle(long id);

}  // namespace tabrik::arx::standards::sql
