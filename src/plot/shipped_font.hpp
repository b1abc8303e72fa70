#pragma once
// A system without any Hangul font (a bare Windows, wine, a server without
// fonts) gets the NanumGothic that the Windows application folder carries
// beside the program, so that Korean text is never drawn as boxes.
namespace verdanel {

// Adds <program folder>/fonts/NanumGothic.ttf to the application's fonts
// when no font with Hangul is known; once per process. Needs a QGuiApplication.
void addShippedHangulFont();

}  // namespace verdanel
