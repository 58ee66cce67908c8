#pragma once

class TFrameWindow;
class TFormInvisible;

// Creates the hidden window and every page once, in their fixed order, as children of the
// frame. Returns the hidden window.
TFormInvisible *CreatePages(TFrameWindow *frame);
