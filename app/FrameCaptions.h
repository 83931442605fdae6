#pragma once

class TFrameForm;
class TextSet;

// Puts the captions and hints of a text set on the frame's own menus, tool
// bar, coding list, go-to panel, sidebar and multi-clipboard.
void applyFrameCaptions(TFrameForm &frame, const TextSet &set);
