// Writes the editor's pictures as PNG files into a folder:
// editor_pictures FOLDER [NAME...] (every state when no name is given).
#include <cstdio>
#include <string>

#include "EditorPictures.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: editor_pictures FOLDER [NAME...]\n");
        return 2;
    }
    const std::string folder = argv[1];
    int written = 0;
    for (const auto& state : editor::testing::pictureStates()) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) wanted = wanted || state.name == std::string(argv[i]);
        if (!wanted) continue;
        const std::string path = folder + "/" + state.name + ".png";
        if (!editor::testing::writePng(path, editor::testing::render(state))) {
            std::fprintf(stderr, "editor_pictures: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
        ++written;
    }
    if (written == argc - 2 || argc == 2) return 0;
    std::fprintf(stderr, "editor_pictures: unknown picture name\n");
    return 2;
}
