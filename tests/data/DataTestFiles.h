#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

// Small data files written into a fresh directory for one test.
class DataFiles
{
public:
    QString write(const QString& name, const std::string& text)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), qint64(text.size()));
        return path;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString dirPath() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};
