// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/read_messages.h"

#include <gtest/gtest.h>

#include "convert/batch.h"
#include "viewer/arithmetic.h"
#include "viewer/view_command.h"

namespace durnix {
namespace {

// Every status in every context (the conversion, View Spectrum and the viewer's own reading),
// about /d/a.rbs read as "RUMP (RBS)" and written as "KODAQ".
TEST(StatusMessage, EveryStatusInEveryContext) {
  const std::string bug =
      "Congratulation !! You found out some bugs in DURNIX v1.52 reading "
      "routine. Let the author know.";
  const std::string viewerBug =
      "Congratulation !! You've  found out some bugs of Durnix v1.52. Let the author know !!";
  struct Case {
    Status status;
    const char* conversion;
    std::string viewSpectrum;
    std::string viewerRead;
  };
  const Case cases[] = {
      {kDone, "Error 0 with /D/A.RBS !!", bug, viewerBug},
      {kNotThisFormat, "/D/A.RBS has not RUMP (RBS) format !!",
       "/D/A.RBS has not RUMP (RBS) format !!", "/D/A.RBS has unknown format !!"},
      {kSourceUnknown, "RUMP (RBS) is unknown format !!", bug, viewerBug},
      {kPixeOrNra, "/D/A.RBS is for PIXE or NRA file !!", "/D/A.RBS has PIXE or NRA format !!",
       "/D/A.RBS has PIXE or NRA format !!"},
      {kUnknownFormat, "/D/A.RBS is unknown format !!", "/D/A.RBS has unknown format !!",
       "/D/A.RBS has unknown format !!"},
      {kInternalFault,
       "Congratulation !! You've found out bug(s) of Durnix v1.52. Let the author know !!", bug,
       bug},
      {kDoesNotFit, "Some channel of /D/A.RBS is overflowed !!", bug, viewerBug},
      {kOutOfMemory, "Memory or system resource is insufficient !!",
       "Memory or system resource is insufficient", "Memory or system resource is insufficient"},
      {kSkipped, "Error 8 with /D/A.RBS !!", bug, viewerBug},
      {kDestUnknown, "KODAQ is unknown format !!", bug, viewerBug},
      {kBadAxisValues, "The value of Mass or Efficiency is not valid !!", bug, viewerBug},
      {kArithmetic, "The axis conversion of /D/A.RBS went out of range !!", bug, viewerBug},
      {kCannotOpen, "/D/A.RBS not found or disk not ready !",
       "Disk is not ready or /D/A.RBS is not found !!",
       "Disk is not ready or /D/A.RBS is not found !!"},
      {kCannotCreate, "Disk is not ready or bad media.", bug, viewerBug},
      {99, "Error 99 with /D/A.RBS !!", bug, viewerBug},
  };
  const std::string file = "/d/a.rbs";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    EXPECT_EQ(RunMessage(c.status, file, "RUMP (RBS)", "KODAQ"), c.conversion);
    EXPECT_EQ(ViewReadMessage(c.status, file, "RUMP (RBS)"), c.viewSpectrum);
    EXPECT_EQ(ViewerReadMessage(c.status, file), c.viewerRead);
  }
}

}  // namespace
}  // namespace durnix
