// The toolkit in a web page, compiled to WebAssembly: the scene on a canvas, pictures
// decoded by the browser, text from the desktop's glyph atlas, the message box as a modal
// dialog. The page (page/page.js) does the browser's side; each frame yields to it once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/glyph_atlas.h"
#include "app/toolkit.h"

namespace app {

// Where the page puts the data files it fetched, in the program's in-memory file system.
inline constexpr const char* kWebProgramDirectory = "/glimmerix";
inline constexpr const char* kGlyphAtlasFile = "\\Glyphs.atlas";

class WebToolkit : public Toolkit {
public:
    // Reads the glyph atlas; throws StartupError naming it when it is missing or damaged.
    WebToolkit();

    std::string ProgramDirectory() override { return kWebProgramDirectory; }
    void DecodePicture(const std::vector<std::uint8_t>& bytes, const std::string& name,
                       platform::Surface& target) override;
    // The splash has no window of its own: it is shown on the canvas until the scene is.
    void ShowSplash(const platform::Surface& picture) override;
    void HideSplash() override;
    // Yields to the browser until its next frame, then dispatches the input that came.
    void DoEvents(FormEvents& form) override;
    void PrintText(platform::Surface& surface, int x, int y, std::string_view text) override;
    int TextLineHeight() override { return atlas_.LineHeight(); }
    platform::Surface& MainWindowSurface() override { return window_; }
    void Present(const platform::Surface& window) override;
    void MessageBox(const std::string& title, const std::string& text) override;
    std::uint32_t GetTickCount() override;

    // Runs events until timerMs have passed (true) or the form ends (false); the canvas
    // stays blank from HideSplash until the first frame.
    bool WaitForStartTick(FormEvents& form, std::uint32_t timerMs);

    // What the last frame handed to the canvas printed, line by line; empty past the last.
    const std::string& PrintedLine(int index) const;

    // The page's word that the program has ended, or that it could not start and why.
    static void ReportEnded();
    static void ReportFailure(const std::string& message);

private:
    void Show(const platform::Surface& picture);

    GlyphAtlas atlas_;
    platform::Surface window_;
    std::vector<std::uint32_t> canvas_;  // what is handed to the canvas: RGBA, opaque
    // The lines of the frame being composed and of the one last presented; their strings
    // keep their capacity, so that a frame allocates nothing.
    static constexpr int kRecordedLines = 8;
    std::array<std::string, kRecordedLines> printing_, printed_;
    int printingCount_ = 0, printedCount_ = 0;
};

}  // namespace app
