// How many descriptors this process has open: a host's check that a plug-in
// closed everything it opened.
#pragma once

namespace cvx::host {

int CountOpenDescriptors();

}  // namespace cvx::host
