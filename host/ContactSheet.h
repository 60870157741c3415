#pragma once

#include <opencv2/core/mat.hpp>

#include <string>
#include <vector>

// The geometry of a contact sheet: every capture is a row, every image a cell
// of the same size, all separated by the same gap. Above each row's cells a
// band names the capture folder.
struct SheetLayout {
    static constexpr int cellWidth = 160;
    static constexpr int cellHeight = 138;
    static constexpr int gap = 4;
    // A strip at the top of each cell holds its label, so the label never
    // hides the image's own content.
    static constexpr int labelHeight = 18;
    static constexpr int thumbnailHeight = cellHeight - labelHeight;
    static constexpr int rowLabelHeight = 16;
    static constexpr int rowHeight = rowLabelHeight + cellHeight;

    static int sheetWidth(int columns) { return gap + columns * (cellWidth + gap); }
    static int sheetHeight(int rows) { return gap + rows * (rowHeight + gap); }
    // The top left corner of a row's folder band, and of a cell.
    static cv::Point rowLabelOrigin(int row) {
        return cv::Point(gap, gap + row * (rowHeight + gap));
    }
    static cv::Point cellOrigin(int row, int column) {
        return cv::Point(gap + column * (cellWidth + gap),
                         gap + row * (rowHeight + gap) + rowLabelHeight);
    }
};

// Colours (BGR) that a reader of the sheet, or a test, can rely on: the
// two marked cells are far from the grey background and from each other.
namespace sheet_colors {
const cv::Scalar background(40, 40, 40);
const cv::Scalar rowLabelText(200, 200, 200);
// Dark red with a red cross: a file that came back as an empty image.
const cv::Scalar unreadableCell(0, 0, 110);
// Amber: a capture that handed over no image at all.
const cv::Scalar noImagesCell(0, 130, 190);
} // namespace sheet_colors

// Thumbnails of a replay, kept small as the captures come in, so a long
// replay does not hold on to its images. Rows beyond maxRows are counted but
// not drawn.
class ContactSheet {
public:
    explicit ContactSheet(int maxRows) : maxRows_(maxRows) {}

    // folder labels the row; it is shortened from the left to fit.
    void addCapture(int captureNumber, const std::string& folder,
                    const std::vector<cv::Mat>& images);

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
        std::string folder;
        std::vector<Cell> cells;
    };

    int maxRows_;
    int capturesSeen_ = 0;
    std::vector<Row> rows_;
};
