#pragma once

class TCatalog;
class TFormInvisible;
class TFrameWindow;

// Creates the hidden instance window and then every page once, in their fixed order, as
// children of the frame. The pages that show or add to the catalog get the catalog.
TFormInvisible *CreatePages(TFrameWindow *frame, TCatalog &catalog);

// Connects the hand-overs between pages of different folders (the track selection page to the
// description page) among the pages that exist. CreatePages calls it; so do tests that create
// only the pages they need.
void ConnectPages();
