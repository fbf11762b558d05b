// Build step: turns the pictures drawn at scale 1 into C++ arrays of their pixels, so that the
// program shows its first screen without decoding a single PNG.
//   kovalt_embed_pictures PICTURE-FOLDER OUTPUT.cpp NAME...
#include <QImage>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PICTURE-FOLDER OUTPUT.cpp NAME...\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::string arrays;
    std::string table;
    for (int i = 3; i < argc; ++i) {
        const std::string path = folder + "/" + argv[i] + ".png";
        const QImage image =
            QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
        if (image.isNull()) {
            std::fprintf(stderr, "embed_pictures: cannot read %s\n", path.c_str());
            return 1;
        }
        const std::string array = "picture" + std::to_string(i - 3);
        arrays += "const unsigned int " + array + "[] = {";
        char pixel[16];
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                std::snprintf(pixel, sizeof pixel, "%s0x%08x,",
                              (y * image.width() + x) % 8 == 0 ? "\n" : "", row[x]);
                arrays += pixel;
            }
        }
        arrays += "\n};\n";
        table += "    {\"" + std::string(argv[i]) + "\", " + std::to_string(image.width()) + ", " +
                 std::to_string(image.height()) + ", " + array + "},\n";
    }
    std::FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    std::fprintf(out,
                 "// Made by tools/embed_pictures.cpp from the pictures at scale 1. Do not edit.\n"
                 "#include \"platform/embedded_pictures.h\"\n\nnamespace {\n%s} // namespace\n\n"
                 "const EmbeddedPicture kEmbeddedPictures[] = {\n%s};\n"
                 "const int kEmbeddedPictureCount = %d;\n",
                 arrays.c_str(), table.c_str(), argc - 3);
    return std::fclose(out) == 0 ? 0 : 1;
}
