#pragma once

#include "platform/ExportFolder.h"
#include "platform/ShareRequest.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// Turns the user's choice of calculator data into a share request: writes the calculator
// file (or CSV, or a program's listing PDF) into the app's own export folder, emptied
// first, and gives its path with the values as text and the subject. Reports what stops
// a share: a writer's error number (shown as an error), a file that could not be written
// (told), a locked program as PDF (error 84). Main thread.
class ShareExport {
public:
    // Export types.
    static constexpr int kDataFile = 0;
    static constexpr int kProgramPDF = 1;
    static constexpr int kCSV = 2;
    // A file stem stops growing once it holds this many characters.
    static constexpr int kMaxStem = 80;
    static constexpr int kLockedError = 84;
    static constexpr int kWriteError = 70;

    ShareExport(Calculator& calc, QString exportFolder);

    // A program's listing PDF (made elsewhere); empty when it cannot be made.
    std::function<QByteArray(const std::string& program)> programPDF;
    // Messages for the user (a file that could not be written).
    std::function<void(const QString& message)> tell;
    // After a writer's error: the current screen back in front.
    std::function<void()> bringCurrentScreenToFront;

    std::optional<ShareRequest> sharePrograms(const std::vector<std::string>& names, int type);
    // One program's listing PDF, as the program library shares it: named by the program.
    std::optional<ShareRequest> shareListing(const std::string& name);
    std::optional<ShareRequest> shareLists(const std::vector<std::string>& names, int type);
    // Tokens 0x5C00 ([A]) to 0x5C09.
    std::optional<ShareRequest> shareMatrices(const std::vector<std::uint32_t>& tokens, int type);
    std::optional<ShareRequest> shareGDBs(const std::vector<std::string>& names);
    // Tokens 0x41 ('A') to 0x5B (θ); others are named in the text only.
    std::optional<ShareRequest> shareVars(const std::vector<std::uint32_t>& tokens);
    std::optional<ShareRequest> shareEquations(const std::vector<std::uint32_t>& tokens);
    // Tokens 0xAA00 (Str1) to 0xAA09 (Str0).
    std::optional<ShareRequest> shareStrings(const std::vector<std::uint32_t>& tokens);
    // The history as a PDF; nothing without a history.
    std::optional<ShareRequest> shareHistory();
    // The last calculation as text with its PDF (MathPrint) or HTML; nothing for an empty
    // history.
    std::optional<ShareRequest> shareLastCalculation();

    // The graph screen's share: its worksheet (made elsewhere) as "Graph.pdf" and the
    // picture of the screen as "Graph.png", in that order; nothing when either could not
    // be written (told).
    std::optional<ShareRequest> shareGraph(const QByteArray& pdf, const QImage& picture, const QString& subject);

    // A name made fit for a file name: what a file system refuses (control characters and
    // / \ : * ? " < > |) becomes "_"; everything else, subscript digits and θ too, stays.
    static QString sanitized(const QString& name);
    // The prefix and the sanitised names, each appended only while the stem is shorter
    // than 80 characters when limited.
    static QString stem(const QString& prefix, const std::vector<QString>& names, bool limited);
    // A string token's own digit: Str1 to Str9 are 1 to 9, Str0 is 0.
    static int stringDigit(std::uint32_t token);

    const ExportFolder& folder() const { return folder_; }

private:
    // Empties the folder and writes the file; its path, or nothing after telling why.
    std::optional<QString> writeFile(const QString& fileName, const QByteArray& data);
    // Writes the file beside those of the same share, not emptying the folder.
    std::optional<QString> addFile(const QString& fileName, const QByteArray& data);
    // A writer's error (or none written): reported, nothing shared.
    void writerFailed(int error);
    // Whether the writer made its data; its error (or none made) reported when not.
    bool writerSucceeded(bool made, int error);
    // Names a written file in the request; false when it was not written (already told).
    static bool attach(ShareRequest& request, const std::optional<QString>& path);

    Calculator& calc_;
    ExportFolder folder_;
};

} // namespace orvenda
