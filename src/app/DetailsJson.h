#pragma once
// `typeloom --details --json`: the details of one font as a JSON object. The
// schema is README.md's "Details as JSON" and docs/details.schema.json; it only
// ever grows (new keys), and "schemaVersion" counts changes of meaning.
#include "app/FontDisplay.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FontCoverage.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace typeloom::app {

inline constexpr int kDetailsSchemaVersion = 1;

// `name` is the name the font draws under, `fromFile` whether the command line named
// a file, `face` the face the name draws in and `coverage` what that face can write
// (nothing: fontconfig gave no face; the two keys are then null).
QByteArray DetailsJson(const QString& name, bool fromFile, const Details& details, const platform::FaceLocation& face,
                       const std::optional<platform::CoverageFacts>& coverage);

}  // namespace typeloom::app
