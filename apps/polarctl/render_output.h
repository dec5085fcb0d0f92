#pragma once

#include <QByteArray>
#include <optional>
#include <string>

class PolarPicture;

enum class PictureFormat { Png, Svg, Pdf };

// The format an output's name asks for: .png, .svg or .pdf in any case; standard output gets
// PNG. Nothing for any other name.
std::optional<PictureFormat> PictureFormatOf(const std::string& strTarget);

// The picture encoded in memory. SVG and PDF hold the diagram as an image at the picture's
// device resolution and the angle labels, legend, title and logged dots as drawings and text.
// False (with the reason) when the encoder failed.
bool EncodePicture(const PolarPicture& picture, PictureFormat format, const std::string& strTitle,
                   QByteArray& bytes, std::string& strError);
