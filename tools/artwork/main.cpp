// Draws every image of the editor with cairo and writes them as PNG files
// under OUTPUT_DIR, in the folders the image list names (knobs/, switches/,
// buttons/, displays/). Fonts come from Debian's font files with fixed
// rendering options, so a run writes the same bytes on every machine with
// the same packages; a test compares the committed images with a fresh run.
//
// Usage: draw_editor_artwork OUTPUT_DIR [--preview FILE] [--about-preview FILE]
//
// Before drawing, the panels of the controls background are checked against
// the editor's layout: a heading over a control, label or read-out stops the
// run. --preview also writes the synth page as the editor would show it
// (images at their places, sample texts in the editor's text style), and
// --about-preview the about page, to judge the look.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "backgrounds.h"
#include "canvas.h"
#include "catalogue.h"
#include "preview.h"

namespace {

using artwork::Canvas;

int Run(int argc, char** argv) {
    std::filesystem::path output;
    std::filesystem::path preview;
    std::filesystem::path aboutPreview;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if ((argument == "--preview" || argument == "--about-preview") && index + 1 < argc) {
            (argument == "--preview" ? preview : aboutPreview) = argv[++index];
        } else if (!argument.starts_with("--") && output.empty()) {
            output = argument;
        } else {
            output.clear();
            break;
        }
    }
    if (output.empty()) {
        std::fprintf(stderr, "usage: draw_editor_artwork OUTPUT_DIR [--preview FILE] [--about-preview FILE]\n");
        return 2;
    }

    const std::vector<std::string> problems = artwork::LayoutProblems();
    for (const std::string& problem : problems) std::fprintf(stderr, "draw_editor_artwork: %s\n", problem.c_str());
    if (!problems.empty()) return 1;

    std::map<int, std::shared_ptr<Canvas>> images;
    std::map<std::string_view, std::shared_ptr<Canvas>> byPath;
    for (const artwork::ImageEntry& entry : artwork::Catalogue()) {
        auto found = byPath.find(entry.path);
        if (found == byPath.end()) {
            auto canvas = std::make_shared<Canvas>(entry.width, entry.height, entry.opaque);
            entry.draw(*canvas);
            const std::filesystem::path file = output / entry.path;
            std::filesystem::create_directories(file.parent_path());
            canvas->WritePng(file);
            found = byPath.emplace(entry.path, canvas).first;
        }
        images[entry.id] = found->second;
    }

    if (!preview.empty()) artwork::WritePreview(artwork::SynthPage(), images, preview);
    if (!aboutPreview.empty()) artwork::WritePreview(artwork::AboutPage(), images, aboutPreview);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int result = 1;
    try {
        result = Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "draw_editor_artwork: %s\n", error.what());
    }
    artwork::ReleaseFonts();
    return result;
}
