#pragma once

#include <QWidget>

#include <string>

namespace orvenda {

class ProgramFiles;

// The dates of a program's file on the notes page: "Created: " and "Modifed: " with when
// the program was made (kept in its file across saves) and the file's modification time in
// the locale's short date and time; nothing when the file is missing (a sample program).
class UserNotesInfoView : public QWidget {
public:
    UserNotesInfoView(const ProgramFiles& files, QWidget* parent = nullptr);

    void setProgramName(const std::string& name);
    // The two lines drawn; empty when there is no file.
    QStringList lines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ProgramFiles& files_;
    std::string programName_;
};

} // namespace orvenda
