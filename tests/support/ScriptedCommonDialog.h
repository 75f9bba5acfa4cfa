#pragma once

#include "widgets/CommonDialog.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

// Answers the colour, file and directory choosers from a script and remembers what they were
// asked. An empty answer is the player cancelling.
class ScriptedCommonDialog : public CommonDialog {
public:
    std::deque<std::optional<QColor>> colors;
    std::vector<QColor> offered;
    QString file, saveFile, directory;
    std::vector<FileRequest> requests, saveRequests;
    QStringList directoryTitles;

    std::optional<QColor> chooseColor(const QColor &initial, QWidget *) override {
        offered.push_back(initial);
        if (colors.empty())
            return std::nullopt;
        const auto answer = colors.front();
        colors.pop_front();
        return answer;
    }
    QString chooseOpenFile(const FileRequest &request, QWidget *) override {
        requests.push_back(request);
        return file;
    }
    QString chooseSaveFile(const FileRequest &request, QWidget *) override {
        saveRequests.push_back(request);
        return saveFile;
    }
    QString chooseDirectory(const QString &title, QWidget *) override {
        directoryTitles << title;
        return directory;
    }
};
