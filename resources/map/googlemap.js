// The Google map page, used when the user has set a Google Maps key (the
// page's address carries it as ?key=...). Same contract as the Leaflet
// page; without the network it stays empty and every script fails quietly.

var map = null;
var markers = [];
var routes = [];
var pois = [];
var marker = null;
var latlng = null;
var mapDialog = null;
var waypoints = [];
var routeLine = null;

(function loadGoogleMaps() {
    var key = new URLSearchParams(window.location.search).get('key') || '';
    document.write('<script src="https://maps.googleapis.com/maps/api/js?key='
                   + encodeURIComponent(key) + '"><\/script>');
})();

function reportClick(point) {
    if (mapDialog && point)
        mapDialog.map_click_slot(point.lat(), point.lng());
}

function initialize() {
    if (typeof qt !== 'undefined' && qt.webChannelTransport) {
        new QWebChannel(qt.webChannelTransport, function (channel) {
            mapDialog = channel.objects.mapDialog;
        });
    }
    if (typeof google === 'undefined')
        return;
    map = new google.maps.Map(document.getElementById('map'), {
        zoom: 15, center: {lat: 37.3318, lng: -122.02955}, mapTypeId: google.maps.MapTypeId.ROADMAP,
        mapTypeControl: false, panControl: true});
    map.addListener('click', function (e) { reportClick(e.latLng); });
}
window.addEventListener('load', initialize);

function svgIcon(svg, width, height, anchorX, anchorY) {
    return {url: 'data:image/svg+xml;charset=UTF-8,' + encodeURIComponent(svg),
            scaledSize: new google.maps.Size(width, height), anchor: new google.maps.Point(anchorX, anchorY)};
}

// ---- start markers -------------------------------------------------------------

function addMarker(location) {
    var ring = '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32">'
             + '<circle cx="16" cy="16" r="13" fill="white" fill-opacity="0.85" stroke="black" stroke-width="3"/>'
             + '<circle cx="16" cy="16" r="4" fill="black"/></svg>';
    markers.push(new google.maps.Marker({position: location, map: map, clickable: false,
                                         icon: svgIcon(ring, 32, 32, 16, 16)}));
}

function showMarkers() { for (var i = 0; i < markers.length; ++i) markers[i].setMap(map); }
function clearMarkers() { for (var i = 0; i < markers.length; ++i) markers[i].setMap(null); }
function deleteMarkers() { clearMarkers(); markers = []; }

// ---- the route -------------------------------------------------------------------

function newLine(path, color) {
    var line = new google.maps.Polyline({path: path, strokeColor: color, strokeOpacity: 0.8, strokeWeight: 4});
    line.addListener('click', function (e) { reportClick(e.latLng); });
    return line;
}

function addPolyline(point1, point2, color) { routes.push(newLine([point1, point2], color)); }

// One movie's route at once (see the Leaflet page): one line per run.
function addRoute(palette, coords, runs) {
    for (var k = 0; k + 2 < runs.length; k += 3) {
        var path = [];
        for (var v = runs[k]; v <= runs[k + 1]; ++v)
            path.push({lat: coords[2 * v], lng: coords[2 * v + 1]});
        routes.push(newLine(path, palette[runs[k + 2]]));
    }
}

// Brings every movie's route into view (after a load).
function fitRoute() {
    var bounds = new google.maps.LatLngBounds();
    routes.forEach(function (l) { l.getPath().forEach(function (p) { bounds.extend(p); }); });
    markers.forEach(function (m) { bounds.extend(m.getPosition()); });
    if (!bounds.isEmpty())
        map.fitBounds(bounds, 24);
}

function showPolylines() { for (var i = 0; i < routes.length; ++i) routes[i].setMap(map); }
function clearPolylines() { for (var i = 0; i < routes.length; ++i) routes[i].setMap(null); }
function deletePolylines() { clearPolylines(); routes = []; }

// ---- geotag pins ---------------------------------------------------------------------

function addPoi(location, number, title, present) {
    var n = String(Math.floor(Number(number)) || 0);
    var pin = '<svg xmlns="http://www.w3.org/2000/svg" width="24" height="36" viewBox="0 0 24 36">'
            + '<path d="M12 35 C12 35 1 20 1 12 A11 11 0 0 1 23 12 C23 20 12 35 12 35 Z" fill="'
            + (present ? '#FFFF00' : '#BBBBBB') + '" stroke="black" stroke-width="1.2"/>'
            + '<text x="12" y="16" text-anchor="middle" font-family="sans-serif" font-size="10" '
            + 'font-weight="bold">' + n + '</text></svg>';
    // A marker's title is shown as plain text.
    var marker1 = new google.maps.Marker({position: location, map: map, title: String(title),
                                          icon: svgIcon(pin, 24, 36, 12, 36)});
    pois.push(marker1);
    return marker1;
}

function deletePois() { for (var i = 0; i < pois.length; ++i) pois[i].setMap(null); pois = []; }

// ---- a planned route (part of the page's contract; the program does not use it) --

function addWaypoint(location) { waypoints.push(location); }
function setRoute() { if (routeLine) routeLine.setMap(null); routeLine = newLine(waypoints.slice(), '#3388ff'); }
function showRoute() { if (routeLine) routeLine.setMap(map); }
function clearRoute() { if (routeLine) routeLine.setMap(null); }
function deleteRoute() { clearRoute(); routeLine = null; waypoints = []; }
