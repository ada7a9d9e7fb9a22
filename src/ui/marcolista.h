#pragma once
// The frame of a list (the winners, the solution's moves) in whole device pixels.
//
// The platform's style draws a list's frame in design pixels, and the list's contents are a
// widget of their own inside it.  At 125 or 150 % the style's bottom line falls under the
// contents and is gone, and the other sides come out one device pixel wide or two.  The
// frame is drawn again on a see-through layer over the whole list, on top of the contents
// and the scroll bars: in the style's own colours, read from its frame drawn at 100 %, each
// of its lines a whole number of device pixels, alike on every side.  Whatever of the
// style's own lines is left between that frame and the contents takes the contents'
// background.

class QAbstractScrollArea;

namespace pindel {

// Lays the layer over `lista`; it follows the list's size and passes every mouse event on.
void enmarcarEnPixeles(QAbstractScrollArea *lista);

} // namespace pindel
