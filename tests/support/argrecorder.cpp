// Stands in for AutoCAD in tests: writes each argument it receives, one a line, to
// "arguments.txt" beside itself, then ends.
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    std::filesystem::path self(argv[0]);
    std::ofstream out(self.parent_path() / "arguments.txt", std::ios::binary);
    for (int i = 1; i < argc; ++i)
        out << argv[i] << '\n';
    return 0;
}
