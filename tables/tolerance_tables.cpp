#include "tables/tolerance_tables.h"

namespace vqs {

// Boxes and triangle around the EBU Tech 3325 primaries; ellipses and circle per EBU Tech 3325
// grey-scale and colour grading. Written with the digits the grading has always used.

const ToleranceTable redBox = {
    ToleranceShape::points,
    {{{0.451f, 0.524f}, {0.461f, 0.527f}, {0.461f, 0.518f}, {0.431f, 0.513f}, {0.431f, 0.531f}}}};

const ToleranceTable greenBox = {
    ToleranceShape::points,
    {{{0.121f, 0.561f}, {0.113f, 0.563f}, {0.128f, 0.545f}, {0.133f, 0.566f}, {0.120f, 0.569f}}}};

const ToleranceTable blueBox = {
    ToleranceShape::points,
    {{{0.175f, 0.158f}, {0.186f, 0.159f}, {0.180f, 0.143f}, {0.166f, 0.159f}, {0.173f, 0.183f}}}};

const ToleranceTable primariesTriangle = {
    ToleranceShape::points,
    {{{0.1978f, 0.4683f}, {0.451f, 0.524f}, {0.121f, 0.561f}, {0.175f, 0.158f}, {0.451f, 0.524f}}}};

const ToleranceTable greyTolerance = {ToleranceShape::greyEllipses,
                                      {{{0.1978f, 0.4683f},
                                        {0.0055555557f, 0.0084444443f},
                                        {0.0044444446f, 0.0064444444f},
                                        {0.0028888888f, 0.0042222221f},
                                        {0.1978f, 0.4683f}}}};

const ToleranceTable ebuTolerance = {
    ToleranceShape::colourCircle,
    {{{0.1978f, 0.4683f}, {0.006f, 0.006f}, {0.006f, 0.006f}, {0.006f, 0.006f}, {0.0f, 0.0f}}}};

}  // namespace vqs
