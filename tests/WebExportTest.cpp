// orvanta-form export-html: what a small definition of our own becomes (texts as text, pictures as
// files with their exact bytes or pixels, the book's tabs and sheets), and the text alternatives'
// list. The site in a real browser is tested by tests/web/.
#include "tools/WebExport.h"
#include "content/toolkit/encoders/BitmapWriter.h"
#include "content/toolkit/encoders/GifWriter.h"
#include "content/toolkit/encoders/JpegWriter.h"
#include "content/toolkit/encoders/SampleScene.h"
#include "graphics/StoredPicture.h"
#include "stream/Exceptions.h"
#include "tools/TextForm.h"
#include "tools/WebFiles.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Two sheets, the second on view: a bitmap shown as stored, a JPEG stretched to twice its size, a GIF
// of two frames, a label in the symbol character set and one with characters HTML must escape, a list
// box, a read-only memo and a centred rich edit.
constexpr const char* kDefinition = R"(Form1 : TForm1 {
  Left = 0
  Top = 0
  Width = 416
  Height = 339
  Caption = "Prueba <web> & más"
  Color = clBtnFace
  Font.Charset = ANSI_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = "Arial"
  Font.Style = []
  PageControl1 : TPageControl {
    Left = 0
    Top = 0
    Width = 400
    Height = 260
    ActivePage = Sheet2
    OnChange = PageControl1Change
    Sheet1 : TTabSheet {
      Caption = "Uno"
      Picture1 : TImage {
        Left = 4
        Top = 4
        Width = 40
        Height = 30
        Picture.Data = picture bitmap24 40 x 30 "scene.bmp"
      }
      Picture2 : TImage {
        Left = 60
        Top = 4
        Width = 80
        Height = 60
        Stretch = True
        Picture.Data = picture jpeg 40 x 30 "scene.jpg"
      }
      Greek : TLabel {
        Left = 4
        Top = 80
        Caption = "abg"
        Font.Charset = SYMBOL_CHARSET
        Font.Name = "Symbol"
        ParentFont = False
      }
      Escaped : TLabel {
        Left = 4
        Top = 100
        Width = 200
        AutoSize = False
        Alignment = taCenter
        Caption = "a < b && \"c\""
      }
      List1 : TListBox {
        Left = 220
        Top = 80
        Width = 120
        Height = 60
        Items.Strings = (
          "uno"
          "dos"
        )
      }
    }
    Sheet2 : TTabSheet {
      Caption = "Dos"
      Highlighted = True
      Memo1 : TMemo {
        Left = 4
        Top = 4
        Width = 150
        Height = 60
        ReadOnly = True
        Lines.Strings = (
          "primera"
          "<segunda>"
        )
      }
      Rich1 : TRichEdit {
        Left = 160
        Top = 4
        Width = 150
        Height = 60
        Alignment = taCenter
        ReadOnly = True
        Lines.Strings = (
          "centrado"
        )
      }
      Picture3 : TImage {
        Left = 4
        Top = 80
        Width = 20
        Height = 10
        Picture.Data = binary file "frames.dat"
      }
    }
  }
  StatusBar1 : TStatusBar {
    Left = 0
    Top = 282
    Width = 400
    Height = 18
    SimplePanel = True
    SimpleText = "Page index: 1"
  }
}
)";

class WebExport : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "orv-web-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Dir = pattern;
        Bitmap = EncodeBitmap(MakeScene(40, 30));
        // The program does not apply a JPEG's colour profile, so the site's copy goes without it.
        JpegOptions withProfile;
        withProfile.Icc = std::vector<uint8_t>(3000, 0x5A);
        Jpeg = EncodeJpeg(MakeScene(40, 30), withProfile);
        JpegWithoutProfile = EncodeJpeg(MakeScene(40, 30));
        GifFrame red{{20, 10, std::vector<uint32_t>(200, 0)}}, blue{{20, 10, std::vector<uint32_t>(200, 1)}};
        GifOptions gif;
        gif.GlobalTable = {0xFF0000, 0x0000FF};
        WriteBytes(Dir / "scene.bmp", Bitmap);
        WriteBytes(Dir / "scene.jpg", Jpeg);
        const GifFrame frames[] = {red, blue};
        // The compiler takes single frames only: two go in as stored picture data.
        WriteBytes(Dir / "frames.dat", StoredPictureData(EncodeGif(frames, gif)));
        WriteBytes(Dir / "two.bin", CompileTextForm(kDefinition, Dir));
        std::ofstream(Dir / "alt.txt")
            << "# pictures\nPicture1 = Un mosaico de colores\n\nPicture2 = El mismo, "
               "ampliado = 2x\r\n";
        Code = RunExportHtml((Dir / "site").string(), (Dir / "two.bin").string(), (Dir / "alt.txt").string());
        Page = ReadText(Dir / "site" / "index.html");
    }
    static void TearDownTestSuite() { fs::remove_all(Dir); }

    // The element written for a control, from its opening tag to the next control's.
    static std::string Element(const std::string& name) {
        const size_t start = Page.find("data-name=\"" + name + "\"");
        if (start == std::string::npos) return {};
        const size_t open = Page.rfind('<', start);
        return Page.substr(open, Page.find("data-name=", start + 1) - open);
    }

    static inline fs::path Dir;
    static inline std::vector<uint8_t> Bitmap, Jpeg, JpegWithoutProfile;
    static inline int Code = -1;
    static inline std::string Page;
};

TEST_F(WebExport, WritesOnePageWithItsStyleSheetScriptAndPictures) {
    ASSERT_EQ(Code, 0);
    EXPECT_NE(Page.find("<html lang=\"es\">"), std::string::npos);
    EXPECT_NE(Page.find("<title>Prueba &lt;web&gt; &amp; más</title>"), std::string::npos);
    EXPECT_EQ(ReadText(Dir / "site" / "course.css"), CourseStyleSheet());
    EXPECT_EQ(ReadText(Dir / "site" / "course.js"), CourseScript());
    // Every file the page names is there.
    int references = 0;
    for (const char* attribute : {" src=\"", " href=\""}) {
        for (size_t at = Page.find(attribute); at != std::string::npos; at = Page.find(attribute, at + 1)) {
            const size_t start = at + std::strlen(attribute);
            const std::string file = Page.substr(start, Page.find('"', start) - start);
            ++references;
            EXPECT_TRUE(fs::is_regular_file(Dir / "site" / file)) << file;
        }
    }
    EXPECT_EQ(references, 5); // style sheet, script, three pictures
}

TEST_F(WebExport, TheBookHasATabAndASheetPerPageWithTheStoredOneOnView) {
    ASSERT_EQ(Code, 0);
    EXPECT_NE(
        Page.find(R"(role="tab" id="tab-0" aria-controls="page-0" aria-selected="false" tabindex="-1">Uno<)"),
        std::string::npos);
    EXPECT_NE(
        Page.find(
            R"(role="tab" id="tab-1" aria-controls="page-1" aria-selected="true" tabindex="0" class="hl">Dos<)"),
        std::string::npos);
    const std::string first = Element("Sheet1"), second = Element("Sheet2");
    EXPECT_NE(first.find("id=\"page-0\""), std::string::npos);
    EXPECT_NE(first.find(" hidden"), std::string::npos);
    EXPECT_EQ(second.find(" hidden"), std::string::npos);
    // The status line the handler writes on a change, showing its stored text until then.
    const std::string status = Element("StatusBar1");
    EXPECT_NE(status.find(R"(id="status" data-page-status="")"), std::string::npos) << status;
    EXPECT_NE(status.find(R"(<span class="simple">Page index: 1</span>)"), std::string::npos) << status;
    // Pictures of the sheet not on view wait until it shows.
    EXPECT_NE(Element("Picture1").find("loading=\"lazy\""), std::string::npos);
    EXPECT_EQ(Element("Picture3").find("loading=\"lazy\""), std::string::npos);
}

TEST_F(WebExport, TextsAreTextEscapedAndSymbolTextIsGreek) {
    ASSERT_EQ(Code, 0);
    EXPECT_NE(Element("Greek").find(">αβγ</div>"), std::string::npos) << Element("Greek");
    const std::string escaped = Element("Escaped");
    EXPECT_NE(escaped.find(">a &lt; b &amp; &quot;c&quot;</div>"), std::string::npos) << escaped;
    EXPECT_NE(escaped.find("text-align:center"), std::string::npos);
    // The desktop's face for Arial, then Arial itself; the desktop's font file goes with the site.
    EXPECT_NE(escaped.find("font-family:'Liberation Sans','Arial',sans-serif"), std::string::npos) << escaped;
    const std::string face = "@font-face { font-family: 'Liberation Sans'; src: url(fonts/";
    const size_t at = Page.find(face);
    ASSERT_NE(at, std::string::npos);
    const std::string file = Page.substr(at + face.size() - 6, Page.find(')', at) - (at + face.size() - 6));
    EXPECT_TRUE(fs::is_regular_file(Dir / "site" / file)) << file;

    const std::string list = Element("List1");
    EXPECT_NE(list.find(R"(role="listbox" tabindex="0")"), std::string::npos);
    EXPECT_NE(list.find("--item:"), std::string::npos);
    EXPECT_NE(
        list.find(
            R"(<div role="option" aria-selected="false">uno</div><div role="option" aria-selected="false">dos</div>)"),
        std::string::npos)
        << list;
    const std::string memo = Element("Memo1");
    EXPECT_NE(memo.find(" readonly"), std::string::npos);
    EXPECT_NE(memo.find(">\nprimera\n&lt;segunda&gt;</textarea>"), std::string::npos) << memo;
    const std::string rich = Element("Rich1");
    EXPECT_NE(rich.find(R"(aria-readonly="true")"), std::string::npos);
    EXPECT_EQ(rich.find("contenteditable"), std::string::npos);
    EXPECT_NE(rich.find("text-align:center"), std::string::npos);
    EXPECT_NE(rich.find("<p>centrado</p>"), std::string::npos);
}

TEST_F(WebExport, JpegGoesOutAsStoredAndOtherPicturesAsTheirPixels) {
    ASSERT_EQ(Code, 0);
    ASSERT_GT(Jpeg.size(), JpegWithoutProfile.size() + 3000);
    EXPECT_EQ(ReadBytes(Dir / "site" / "pictures" / "Picture2.jpg"), JpegWithoutProfile);
    // Stretched: the file keeps its size, the page gives it the control's, scaled pixel by pixel.
    EXPECT_NE(Element("Picture2").find("left:0px;top:0px;width:80px;height:60px;image-rendering:pixelated;"),
              std::string::npos);

    QImage bitmap(QString::fromStdString((Dir / "site" / "pictures" / "Picture1.png").string()));
    ASSERT_EQ(bitmap.size(), QSize(40, 30));
    const PixelImage scene = MakeScene(40, 30);
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if ((bitmap.pixel(x, y) & 0xFFFFFF) != (scene.Pixels[static_cast<size_t>(y * 40 + x)] & 0xFFFFFF))
                ++differing;
    EXPECT_EQ(differing, 0);

    // A GIF shows its first frame.
    QImage gif(QString::fromStdString((Dir / "site" / "pictures" / "Picture3.png").string()));
    ASSERT_EQ(gif.size(), QSize(20, 10));
    EXPECT_EQ(gif.pixel(10, 5), qRgb(255, 0, 0));
}

TEST_F(WebExport, PicturesTakeTheirTextAlternatives) {
    ASSERT_EQ(Code, 0);
    EXPECT_NE(Element("Picture1").find(R"(alt="Un mosaico de colores")"), std::string::npos);
    // Only the first " = " separates; a carriage return at the end of a line is no part of the text.
    EXPECT_NE(Element("Picture2").find(R"(alt="El mismo, ampliado = 2x")"), std::string::npos)
        << Element("Picture2");
    EXPECT_NE(Element("Picture3").find(R"(alt="")"), std::string::npos);
}

TEST(WebExportAltTexts, AMalformedLineIsRefusedWithItsNumber) {
    EXPECT_EQ(ParseAltTexts("# a\n\nImage1 = uno\n").at("Image1"), "uno");
    for (const char* text : {"# a\nImage1 uno\n", "# a\n = uno\n", "# a\nImage 1 = uno\n"}) {
        try {
            ParseAltTexts(text);
            ADD_FAILURE() << text;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "text alternatives, line 2: expected NAME = text");
        }
    }
}

TEST(WebExportAltTexts, EveryPictureOfTheCourseHasOne) {
    // The course's pictures, by their names in the sources of its pages.
    std::set<std::string> pictures;
    for (const auto& entry : fs::directory_iterator(fs::path(ORV_SOURCE_DIR) / "content" / "pages")) {
        if (entry.path().extension() != ".form") continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            const size_t colon = line.find(" : TImage {");
            const size_t start = line.find_first_not_of(' ');
            if (colon != std::string::npos && start < colon)
                pictures.insert(line.substr(start, colon - start));
        }
    }
    ASSERT_GT(pictures.size(), 100u);
    std::set<std::string> described;
    for (const auto& [name, text] : ParseAltTexts(CourseAltTexts())) {
        described.insert(name);
        EXPECT_GE(text.size(), 40u) << name;
    }
    EXPECT_EQ(described, pictures);
}

} // namespace
