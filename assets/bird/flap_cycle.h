#pragma once
// The wing-flap cycle of the bird: for each of the sheet's steps, the pose of
// the wings and the rise of the body. One smooth periodic curve drives it all,
// so the last step flows into the first.

namespace wm::media {

struct FlapPose {
    double flap = 0.0;       // wing elevation at the shoulder, radians, up positive
    double hand_bend = 0.0;  // the hand's lag behind the arm, radians, up positive
    double twist = 0.0;      // leading edge down (pronation) positive, radians
    double fold = 0.0;       // 0 wing stretched .. 1 flexed at the wrist (mid-upstroke)
    double spread = 0.0;     // 0 primaries closed .. 1 fanned (mid-downstroke)
    double lift = 0.0;       // body rise in pixels, up positive
};

// The pose at `phase` (any real; one cycle per unit, 0 = wings at the top).
FlapPose flap_pose(double phase);

}  // namespace wm::media
