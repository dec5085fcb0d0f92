#include "apps/polarctl/render_output.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "apps/polarctl/file_support.h"
#include "apps/polarctl/render_picture.h"

namespace {

// SVG and PDF sizes are lengths; the picture's pixels are taken at the density a browser
// gives a CSS pixel, so that an SVG shows at its pixel size.
constexpr int kPixelsPerInch = 96;
constexpr double kPointsPerInch = 72.0;

std::string LowerCase(std::string strText) {
    std::transform(strText.begin(), strText.end(), strText.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return strText;
}

bool PaintOn(QPaintDevice& device, PolarPicture& picture) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    picture.Paint(painter);
    return painter.end();
}

}  // namespace

DiagramAs DiagramFor(PictureFormat format) {
    return format == PictureFormat::Png ? DiagramAs::Pixels : DiagramAs::Shapes;
}

std::optional<PictureFormat> PictureFormatOf(const std::string& strTarget) {
    if (IsStandardOutput(strTarget)) {
        return PictureFormat::Png;
    }
    const std::string strExtension =
        LowerCase(std::filesystem::path(strTarget).extension().string());
    if (strExtension == ".png") {
        return PictureFormat::Png;
    }
    if (strExtension == ".svg") {
        return PictureFormat::Svg;
    }
    if (strExtension == ".pdf") {
        return PictureFormat::Pdf;
    }
    return std::nullopt;
}

bool EncodePicture(PolarPicture& picture, PictureFormat format, const std::string& strTitle,
                   QByteArray& bytes, std::string& strError) {
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        strError = std::string("the picture could not be encoded in memory");
        return false;
    }
    const QSize size = picture.Size();
    const QString title = QString::fromStdString(strTitle);
    bool bDone = false;
    const char* pszFormat = "PNG";
    switch (format) {
        case PictureFormat::Png:
            bDone = picture.ToImage().save(&buffer, "PNG");
            break;
        case PictureFormat::Svg: {
            pszFormat = "SVG";
            QSvgGenerator svg;
            svg.setOutputDevice(&buffer);
            svg.setResolution(kPixelsPerInch);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setTitle(title);
            svg.setDescription("polar diagram");
            bDone = PaintOn(svg, picture);
            break;
        }
        case PictureFormat::Pdf: {
            pszFormat = "PDF";
            QPdfWriter pdf(&buffer);
            pdf.setCreator("polarctl");
            pdf.setTitle(title);
            pdf.setResolution(kPixelsPerInch);
            const double dPoints = kPointsPerInch / kPixelsPerInch;
            pdf.setPageSize(QPageSize(QSizeF(size.width() * dPoints, size.height() * dPoints),
                                      QPageSize::Point));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            bDone = PaintOn(pdf, picture);
            break;
        }
    }
    if (!bDone || bytes.isEmpty()) {
        strError = std::string("the picture could not be encoded as ") + pszFormat;
        return false;
    }
    return true;
}
