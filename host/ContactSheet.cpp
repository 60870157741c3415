#include "ContactSheet.h"

#include "DisplayImage.h"
#include "TextShortening.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

constexpr int labelFont = cv::FONT_HERSHEY_SIMPLEX;
constexpr double labelScale = 0.4;

cv::Mat thumbnailOf(const cv::Mat& image) {
    const cv::Mat shown = displayImage(image);
    if (shown.empty()) {
        return shown;
    }
    const double scale = std::min(static_cast<double>(SheetLayout::cellWidth) / shown.cols,
                                  static_cast<double>(SheetLayout::thumbnailHeight) / shown.rows);
    const cv::Size size(std::max(1, static_cast<int>(shown.cols * scale)),
                        std::max(1, static_cast<int>(shown.rows * scale)));
    cv::Mat thumbnail;
    cv::resize(shown, thumbnail, size, 0, 0, scale < 1 ? cv::INTER_AREA : cv::INTER_NEAREST);
    return thumbnail;
}

// White text on a black box, readable on any image.
void drawLabel(cv::Mat& cell, const std::string& text, cv::Point origin) {
    int baseline = 0;
    const cv::Size size = cv::getTextSize(text, labelFont, labelScale, 1, &baseline);
    cv::rectangle(cell, cv::Rect(origin.x, origin.y, size.width + 6, size.height + baseline + 4),
                  cv::Scalar(0, 0, 0), cv::FILLED);
    cv::putText(cell, text, cv::Point(origin.x + 3, origin.y + size.height + 2), labelFont,
                labelScale, cv::Scalar(255, 255, 255), 1, cv::LINE_AA);
}

int textWidth(const std::string& text) {
    int baseline = 0;
    return cv::getTextSize(text, labelFont, labelScale, 1, &baseline).width;
}

// The capture folder across the sheet's width, its end kept when it is long.
void drawRowLabel(cv::Mat& sheet, int row, const std::string& text) {
    const cv::Point origin = SheetLayout::rowLabelOrigin(row);
    const int width = sheet.cols - 2 * SheetLayout::gap;
    const std::string shown = shortenedFromLeft(
        text, [width](const std::string& candidate) { return textWidth(candidate) <= width; });
    cv::putText(sheet, shown, cv::Point(origin.x, origin.y + SheetLayout::rowLabelHeight - 4),
                labelFont, labelScale, sheet_colors::rowLabelText, 1, cv::LINE_AA);
}

void drawMarkedCell(cv::Mat& cell, const cv::Scalar& color, const std::string& note) {
    cell.setTo(color);
    cv::line(cell, cv::Point(0, 0), cv::Point(cell.cols - 1, cell.rows - 1), cv::Scalar(0, 0, 255),
             2);
    cv::line(cell, cv::Point(cell.cols - 1, 0), cv::Point(0, cell.rows - 1), cv::Scalar(0, 0, 255),
             2);
    drawLabel(cell, note, cv::Point(4, cell.rows - 22));
}

} // namespace

void ContactSheet::addCapture(int captureNumber, const std::string& folder,
                              const std::vector<cv::Mat>& images) {
    ++capturesSeen_;
    if (rowsShown() >= maxRows_) {
        return;
    }
    Row row{captureNumber, folder, {}};
    for (std::size_t i = 0; i < images.size(); ++i) {
        row.cells.push_back(Cell{thumbnailOf(images[i]),
                                 "c" + std::to_string(captureNumber) + " i" + std::to_string(i)});
    }
    rows_.push_back(std::move(row));
}

cv::Mat ContactSheet::render() const {
    std::size_t columns = 1;
    for (const Row& row : rows_) {
        columns = std::max(columns, row.cells.size());
    }
    cv::Mat sheet(SheetLayout::sheetHeight(std::max(1, rowsShown())),
                  SheetLayout::sheetWidth(static_cast<int>(columns)), CV_8UC3,
                  sheet_colors::background);
    for (int r = 0; r < rowsShown(); ++r) {
        const Row& row = rows_[static_cast<std::size_t>(r)];
        drawRowLabel(sheet, r, row.folder);
        if (row.cells.empty()) {
            cv::Mat cell =
                sheet(cv::Rect(SheetLayout::cellOrigin(r, 0),
                               cv::Size(SheetLayout::cellWidth, SheetLayout::cellHeight)));
            cell.setTo(sheet_colors::noImagesCell);
            drawLabel(cell, "c" + std::to_string(row.captureNumber) + " no images",
                      cv::Point(0, 0));
            continue;
        }
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const Cell& source = row.cells[c];
            cv::Mat cell =
                sheet(cv::Rect(SheetLayout::cellOrigin(r, static_cast<int>(c)),
                               cv::Size(SheetLayout::cellWidth, SheetLayout::cellHeight)));
            if (source.thumbnail.empty()) {
                drawMarkedCell(cell, sheet_colors::unreadableCell, "unreadable");
            } else {
                const cv::Point offset((cell.cols - source.thumbnail.cols) / 2,
                                       SheetLayout::labelHeight +
                                           (SheetLayout::thumbnailHeight - source.thumbnail.rows) /
                                               2);
                source.thumbnail.copyTo(cell(cv::Rect(offset, source.thumbnail.size())));
            }
            drawLabel(cell, source.label, cv::Point(0, 0));
        }
    }
    return sheet;
}
