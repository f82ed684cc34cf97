#include "scene/camera.h"

#include "scene/viewport_layout.h"
#include "support/gl_api.h"

#include <cassert>

Camera::Camera() {
    fieldOfView = 90.0;
    nearPlane = 0.1f;
    // In single precision: 1000 × 0.1f rounds to exactly 100.
    farPlane = 1000.0f * nearPlane;
    transform.position.set(0.0f, 0.0f, 0.0f);
    transform.rotation.set(0.0f, 0.0f, 0.0f);
    orbitDistance = 1.0f;
    transform.target.set(0.0f, 0.0f, 0.0f);
}

void Camera::perspective(const ViewportLayout& layout) {
    assert(layout.currentSlot >= 0 && layout.currentSlot < ViewportLayout::maxSlots &&
           "current viewport slot index out of range");
    const ViewportSlot& slot = layout.slots[layout.currentSlot];
    // A slot of zero height gives an infinite aspect ratio; the letterbox
    // keeps the drawn slot at half the window height or more.
    const double aspect = double(slot.pixWidth) / double(slot.pixHeight);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Camera::lookAtTarget() {
    const Vec3& eye = transform.position;
    const Vec3& centre = transform.target;
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
    readBasis();
    directionToAngles(eye, centre, transform.rotation.x, transform.rotation.y);
}

void Camera::readBasis() {
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    backAxis[0] = modelView[2];
    backAxis[1] = modelView[6];
    backAxis[2] = modelView[10];
    rightAxis[0] = modelView[0];
    rightAxis[1] = modelView[4];
    rightAxis[2] = modelView[8];
    upAxis[0] = modelView[1];
    upAxis[1] = modelView[5];
    upAxis[2] = modelView[9];
}

void Camera::lookAt(float x, float y, float z) {
    transform.target.set(x, y, z);
    lookAtTarget();
}

void Camera::toEye(const double (&world)[3], double (&eye)[3]) const {
    for (int row = 0; row < 3; ++row) {
        eye[row] = double(modelView[row]) * world[0] + double(modelView[4 + row]) * world[1] +
                   double(modelView[8 + row]) * world[2] + double(modelView[12 + row]);
    }
}

void Camera::orbitView() {
    const Vec3& p = transform.position;
    const Vec3& r = transform.rotation;
    gluLookAt(0.0, 0.0, orbitDistance, 0.0, 0.0, orbitDistance - 1.0f, 0.0, 1.0, 0.0);
    glRotatef(-r.x, 1.0f, 0.0f, 0.0f);
    glRotatef(-r.y, 0.0f, 1.0f, 0.0f);
    glRotatef(-r.z, 0.0f, 0.0f, 1.0f);
    glTranslatef(-p.x, -p.y, -p.z);
    readBasis();
}
