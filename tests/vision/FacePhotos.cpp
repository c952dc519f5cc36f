#include "tests/vision/FacePhotos.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

QString facePhotoPath(const QString &file)
{
    return QDir(QStringLiteral(TOVRA_FACE_PHOTOS)).filePath(file);
}

cv::Mat greyPhoto(const QString &file, double scale)
{
    cv::Mat image =
        cv::imread(QFile::encodeName(facePhotoPath(file)).toStdString(), cv::IMREAD_GRAYSCALE);
    if (!image.empty() && scale != 1.0)
        cv::resize(image, image, cv::Size(), scale, scale, cv::INTER_LINEAR);
    return image;
}

std::vector<LabelledFace> labelledFaces(const QString &xmlFile)
{
    std::vector<LabelledFace> faces;
    QFile file(facePhotoPath(xmlFile));
    if (!file.open(QIODevice::ReadOnly))
        return faces;
    QXmlStreamReader xml(&file);
    QString image;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("image")) {
            image = a.value("file").toString();
        } else if (xml.name() == QLatin1String("box")) {
            const int left = a.value("left").toInt();
            const int top = a.value("top").toInt();
            faces.push_back({image,
                             {left, top, left + a.value("width").toInt() - 1,
                              top + a.value("height").toInt() - 1},
                             std::vector<cv::Point>(68)});
        } else if (xml.name() == QLatin1String("part") && !faces.empty()) {
            const int index = a.value("name").toInt();
            if (index >= 0 && index < 68)
                faces.back().points[size_t(index)] = {a.value("x").toInt(), a.value("y").toInt()};
        }
    }
    return faces;
}

QString programFile(const QString &name)
{
    return QDir(qEnvironmentVariable("TOVRA_BIN_DIR", QDir::currentPath())).filePath(name);
}
