#pragma once

#include <opencv2/core/mat.hpp>

#include <string>
#include <vector>

// The geometry of a contact sheet: every capture is a row, every image a cell
// of the same size, all separated by the same gap.
struct SheetLayout {
    static constexpr int cellWidth = 160;
    static constexpr int cellHeight = 138;
    static constexpr int gap = 4;
    // A strip at the top of each cell holds its label, so the label never
    // hides the image's own content.
    static constexpr int labelHeight = 18;
    static constexpr int thumbnailHeight = cellHeight - labelHeight;

    static int sheetWidth(int columns) { return gap + columns * (cellWidth + gap); }
    static int sheetHeight(int rows) { return gap + rows * (cellHeight + gap); }
    // The top left corner of a cell.
    static cv::Point cellOrigin(int row, int column) {
        return cv::Point(gap + column * (cellWidth + gap), gap + row * (cellHeight + gap));
    }
};

// Colours (BGR) that a reader of the sheet, or a test, can rely on.
namespace sheet_colors {
const cv::Scalar background(40, 40, 40);
const cv::Scalar unreadableCell(0, 0, 110);
const cv::Scalar noImagesCell(70, 70, 70);
} // namespace sheet_colors

// Thumbnails of a replay, kept small as the captures come in, so a long
// replay does not hold on to its images. Rows beyond maxRows are counted but
// not drawn.
class ContactSheet {
public:
    explicit ContactSheet(int maxRows) : maxRows_(maxRows) {}

    void addCapture(int captureNumber, const std::vector<cv::Mat>& images);

    int capturesSeen() const { return capturesSeen_; }
    int rowsShown() const { return static_cast<int>(rows_.size()); }

    cv::Mat render() const;

private:
    struct Cell {
        cv::Mat thumbnail; // empty for an unreadable image
        std::string label;
    };
    struct Row {
        int captureNumber;
        std::vector<Cell> cells;
    };

    int maxRows_;
    int capturesSeen_ = 0;
    std::vector<Row> rows_;
};
