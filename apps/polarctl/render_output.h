#pragma once

#include <QByteArray>
#include <optional>
#include <string>

#include "apps/polarctl/render_picture.h"

enum class PictureFormat { Png, Svg, Pdf };

// The format an output's name asks for: .png, .svg or .pdf in any case; standard output gets
// PNG. Nothing for any other name.
std::optional<PictureFormat> PictureFormatOf(const std::string& strTarget);

// How a format takes the diagram: PNG the editor's pixels, SVG and PDF vector shapes.
DiagramAs DiagramFor(PictureFormat format);

// The picture encoded in memory. False (with the reason) when the encoder failed.
bool EncodePicture(PolarPicture& picture, PictureFormat format, const std::string& strTitle,
                   QByteArray& bytes, std::string& strError);
