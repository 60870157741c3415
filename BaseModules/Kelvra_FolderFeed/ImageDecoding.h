#pragma once

#include "FileBytes.h"
#include "ImageFileCheck.h"

#include <opencv2/core/mat.hpp>

#include <string>

// One selected file of a capture, as the host gets it: the image with the
// depth and channels stored in the file, or an empty image where the file
// cannot be decoded (a capture always hands over one image per selected
// path). The file is read once into buffer, checked there and decoded from
// there, so that what is checked is what is decoded and no decoder reads the
// file behind the check's back. problem, where given, says why an image is
// empty. Throws nothing.
cv::Mat decodeImageFile(const std::string& path, FileBytes& buffer,
                        ImageFileProblem* problem = nullptr) noexcept;

// Decodes a tiny BMP and TIFF once, so that the decoders' own state, which
// they set up on first use, exists. What is made later is destroyed earlier
// at process exit: state made after this call outlives the decoders' only if
// the decoders' is made first.
void prepareDecoders() noexcept;
