#pragma once

#include <QImage>

// One picture showing every piece of artwork on the table cloth, for
// looking the artwork over (docs/artwork.png).
namespace contactsheet {

QImage render();

} // namespace contactsheet
