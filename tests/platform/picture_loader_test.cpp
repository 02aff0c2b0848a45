// Bitmap pictures read through Qt's image readers.
#include "platform/picture_loader_qt.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace plox {
namespace {

TEST(QtPictureLoader, ReadsPixelsAsArgbAndRefusesWhatIsNoImage) {
    const auto dir = std::filesystem::temp_directory_path() / "plox_picture_loader";
    std::filesystem::create_directories(dir);
    QImage source(3, 2, QImage::Format_RGB32);
    source.fill(QColor(0, 0, 255));
    source.setPixel(2, 1, qRgb(255, 0, 0));
    const auto bmp = (dir / "PICTURE.BMP").string();
    ASSERT_TRUE(source.save(QString::fromStdString(bmp), "BMP"));

    QtPictureLoader loader;
    const auto image = loader.load_bitmap(bmp);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    ASSERT_EQ(image->pixels.size(), 6u);
    EXPECT_EQ(image->pixels[0], 0xFF0000FFu);
    EXPECT_EQ(image->pixels[5], 0xFFFF0000u);

    const auto text = (dir / "not-an-image.bmp").string();
    FILE* f = std::fopen(text.c_str(), "w");
    std::fputs("hello", f);
    std::fclose(f);
    EXPECT_FALSE(loader.load_bitmap(text));
    EXPECT_FALSE(loader.load_bitmap((dir / "missing.bmp").string()));
    // Special files are refused at once instead of blocking or reading for ever.
    const auto fifo = (dir / "pipe.bmp").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(loader.load_bitmap(fifo));
    EXPECT_FALSE(loader.load_bitmap("/dev/zero"));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace plox
