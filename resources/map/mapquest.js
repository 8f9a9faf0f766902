// The Leaflet map page: OpenStreetMap's standard tiles ("Roadmap"), Esri
// World Imagery ("Satellite", and "Hybrid" with Esri's place names above
// it) and CARTO's light tiles ("Light"). The program drives the page with
// scripts and hears about clicks through the channel object "mapDialog".
//
// The route is drawn by one canvas renderer in a pane below the vehicle, as
// lines that take no mouse events: a click anywhere reaches the map's own
// click handler, which reports it to the program.

var map = null;
var markers = [];   // start markers
var routes = [];    // route lines
var pois = [];      // geotag pins
var myMarker = null;
var currLayer = null;
var labelsLayer = null;
var latlng = null;
var mapDialog = null;
var routeRenderer = null;
var tileSources = {roadmap: '', satellite: '', labels: '', light: ''};
var waypoints = [];
var routeLine = null;

var ATTRIBUTION = {
    osm: '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors',
    esri: 'Tiles &copy; <a href="https://www.esri.com/">Esri</a> &mdash; Source: Esri, Maxar, '
        + 'Earthstar Geographics, and the GIS User Community',
    carto: '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors '
        + '&copy; <a href="https://carto.com/attributions">CARTO</a>'
};

var LINE_STYLE = {opacity: 0.8, weight: 4, interactive: false};

function initialize() {
    map = L.map('map', {center: [37.3318, -122.02955], zoom: 12});
    map.createPane('routePane');
    map.getPane('routePane').style.zIndex = 390;  // below the vehicle (overlay pane, 400)
    routeRenderer = L.canvas({pane: 'routePane'});
    map.on('click', function (e) {
        var p = e.latlng.wrap();
        if (mapDialog)
            mapDialog.map_click_slot(p.lat, p.lng);
    });
    if (typeof qt !== 'undefined' && qt.webChannelTransport) {
        new QWebChannel(qt.webChannelTransport, function (channel) {
            mapDialog = channel.objects.mapDialog;
        });
    }
}
window.addEventListener('load', initialize);

function lineOptions(color) {
    return L.extend({color: color, renderer: routeRenderer}, LINE_STYLE);
}

// ---- base layers -------------------------------------------------------------

function setTileSources(sources) {
    tileSources = sources;
}

function setBaseLayer(url, attribution, labelsUrl) {
    if (currLayer)
        map.removeLayer(currLayer);
    if (labelsLayer)
        map.removeLayer(labelsLayer);
    currLayer = null;
    labelsLayer = null;
    if (url)
        currLayer = L.tileLayer(url, {attribution: attribution, maxZoom: 19}).addTo(map);
    if (labelsUrl)
        labelsLayer = L.tileLayer(labelsUrl, {maxZoom: 19}).addTo(map);
}

function roadMap() { setBaseLayer(tileSources.roadmap, ATTRIBUTION.osm, ''); }
function hybridMap() { setBaseLayer(tileSources.satellite, ATTRIBUTION.esri, tileSources.labels); }
function satelliteMap() { setBaseLayer(tileSources.satellite, ATTRIBUTION.esri, ''); }
function lightMap() { setBaseLayer(tileSources.light, ATTRIBUTION.carto, ''); }

// ---- start markers -------------------------------------------------------------

function addMarker(location) {
    var icon = L.divIcon({className: 'vx-start', iconSize: [32, 32], iconAnchor: [16, 16]});
    markers.push(L.marker(location, {icon: icon, interactive: false, keyboard: false}));
}

function showMarkers() {
    for (var i = 0; i < markers.length; ++i)
        markers[i].addTo(map);
}

function clearMarkers() {
    for (var i = 0; i < markers.length; ++i)
        map.removeLayer(markers[i]);
}

function deleteMarkers() {
    clearMarkers();
    markers = [];
}

// ---- the route -------------------------------------------------------------------

function addPolyline(point1, point2, color) {
    routes.push(L.polyline([point1, point2], lineOptions(color)));
}

// One movie's route at once: palette[k] is colour k, colours[r] the colour
// of run r, runs[r] its points as [lat, lon, lat, lon, ...]. The runs of one
// colour become one line of many parts.
function addRoute(palette, colours, runs) {
    var byColour = {};
    for (var r = 0; r < runs.length; ++r) {
        var flat = runs[r];
        var part = new Array(flat.length >> 1);
        for (var i = 0, j = 0; i + 1 < flat.length; i += 2, ++j)
            part[j] = L.latLng(flat[i], flat[i + 1]);
        var c = colours[r];
        (byColour[c] || (byColour[c] = [])).push(part);
    }
    for (var k in byColour)
        routes.push(L.polyline(byColour[k], lineOptions(palette[k])));
}

function showPolylines() {
    for (var i = 0; i < routes.length; ++i)
        routes[i].addTo(map);
    if (myMarker) {  // keep the vehicle above the lines
        map.removeLayer(myMarker);
        myMarker.addTo(map);
    }
}

function clearPolylines() {
    for (var i = 0; i < routes.length; ++i)
        map.removeLayer(routes[i]);
}

function deletePolylines() {
    clearPolylines();
    routes = [];
}

// ---- the vehicle -------------------------------------------------------------------

function map_panTo() {
    map.panTo(latlng, {animate: true, duration: 0.3});
}

function myMarker_setLatLng() {
    if (myMarker)
        myMarker.setLatLng(latlng);
}

// ---- geotag pins ---------------------------------------------------------------------

var SVG = 'http://www.w3.org/2000/svg';

function svgElement(name, attributes) {
    var e = document.createElementNS(SVG, name);
    for (var a in attributes)
        e.setAttribute(a, attributes[a]);
    return e;
}

// A pin 24 x 36 pixels with its number, tip at the bottom centre.
function pinGraphic(number, present) {
    var svg = svgElement('svg', {width: 24, height: 36, viewBox: '0 0 24 36'});
    svg.appendChild(svgElement('path', {
        d: 'M12 35 C12 35 1 20 1 12 A11 11 0 0 1 23 12 C23 20 12 35 12 35 Z',
        fill: present ? '#FFFF00' : '#BBBBBB', stroke: '#000000', 'stroke-width': 1.2}));
    var text = svgElement('text', {x: 12, y: 16, 'text-anchor': 'middle', 'font-family': 'DejaVu Sans, sans-serif',
                                   'font-size': number > 99 ? 8 : 10, 'font-weight': 'bold', fill: '#000000'});
    text.textContent = String(number);
    svg.appendChild(text);
    return svg;
}

function addPoi(location, number, title, present) {
    var icon = L.divIcon({className: 'vx-pin', html: pinGraphic(number, present), iconSize: [24, 36],
                          iconAnchor: [12, 36], tooltipAnchor: [0, -30]});
    var label = document.createElement('span');
    label.textContent = String(title);  // shown as typed, never read as markup
    var marker1 = L.marker(location, {icon: icon, keyboard: false}).bindTooltip(label, {direction: 'top'});
    marker1.addTo(map);
    pois.push(marker1);
    return marker1;
}

function deletePois() {
    for (var i = 0; i < pois.length; ++i)
        map.removeLayer(pois[i]);
    pois = [];
}

// ---- a planned route (part of the page's contract; the program does not use it) --

function addWaypoint(location) { waypoints.push(location); }

function setRoute() {
    if (routeLine)
        map.removeLayer(routeLine);
    routeLine = L.polyline(waypoints, lineOptions('#3388ff'));
}

function showRoute() { if (routeLine) routeLine.addTo(map); }
function clearRoute() { if (routeLine) map.removeLayer(routeLine); }
function deleteRoute() { clearRoute(); routeLine = null; waypoints = []; }
