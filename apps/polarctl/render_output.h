#pragma once

#include <QByteArray>
#include <optional>
#include <string>

class PolarPicture;

enum class PictureFormat { Png, Svg, Pdf };

// The format an output's name asks for: .png, .svg or .pdf in any case; standard output gets
// PNG. Nothing for any other name.
std::optional<PictureFormat> PictureFormatOf(const std::string& strTarget);

// The picture encoded in memory: PNG in the editor's pixels at the picture's scale, SVG and PDF
// as vector shapes and text (the diagram drawn by the same code, on a painter). False (with the
// reason) when the encoder failed.
bool EncodePicture(PolarPicture& picture, PictureFormat format, const std::string& strTitle,
                   QByteArray& bytes, std::string& strError);
